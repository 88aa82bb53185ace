// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The widgets containers paint their windowless controls into: only the binding sees them.
#pragma once

#include "container.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>

namespace ui {

// Paints a container's windowless controls under its child widgets.
class PaintedWidget : public QWidget {
public:
    PaintedWidget(const Container& container, QWidget* parent)
        : QWidget(parent), container_(container) {}
    const Container& container() const { return container_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        container_.paintWindowless(painter, event->region());
    }

private:
    const Container& container_;
};

class PictureWidget final : public QFrame {
public:
    PictureWidget(const Container& container, QWidget* parent)
        : QFrame(parent), container_(container) {}
    const Container& container() const { return container_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setClipRect(contentsRect());
        container_.paintWindowless(painter, event->region());
    }

private:
    const Container& container_;
};

} // namespace ui
