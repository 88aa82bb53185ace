// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The widgets containers paint into: only the binding sees them.
#pragma once

#include "container.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>

namespace ui {

// A widget a container paints its windowless controls into. Each lets the other go when it
// dies: a picture box's widget outlives its control until the window goes, and a screen
// reader may ask that widget for labels at any time.
class Host {
public:
    explicit Host(Container& container) : container_(&container) { container.host_ = this; }
    virtual ~Host() {
        if (container_)
            container_->host_ = nullptr;
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    const Container* container() const { return container_; }

protected:
    void paintContainer(QWidget& widget, const QRegion& dirty, const QRect& clip) const {
        if (!container_)
            return;
        QPainter painter(&widget);
        painter.setClipRect(clip);
        container_->paintWindowless(painter, dirty);
    }

private:
    friend class Container;
    Container* container_;
};

class PaintedWidget : public QWidget, public Host {
public:
    PaintedWidget(Container& container, QWidget* parent) : QWidget(parent), Host(container) {}

protected:
    void paintEvent(QPaintEvent* event) override { paintContainer(*this, event->region(), rect()); }
};

class PictureWidget final : public QFrame, public Host {
public:
    PictureWidget(Container& container, QWidget* parent) : QFrame(parent), Host(container) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        paintContainer(*this, event->region(), contentsRect());
    }
};

} // namespace ui
