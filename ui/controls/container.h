// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "control.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <vector>

class QObject;
class QPainter;
class QWidget;

namespace ui {

class Form;
class Host;
class Windowless;

// Position and size in twips, relative to the container's client area.
struct Geometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// Something that holds controls: the window itself, a frame or a picture box. It paints its
// windowless controls in stored order, beneath its windowed ones.
class Container {
public:
    Container() = default;
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual Form& form() = 0;
    virtual QWidget* hostWidget() const = 0;
    // Top-left of the client area inside hostWidget(), in logical pixels.
    virtual QPoint clientOrigin() const { return {}; }
    void paintWindowless(QPainter& painter, const QRegion& dirty) const;
    void adopt(Windowless& control) { windowless_.push_back(&control); }
    void release(const Windowless& control);
    const std::vector<Windowless*>& windowless() const { return windowless_; }
    // A step changed the control: its old and new places are repainted once the step is over,
    // so that what it passed through on the way is never drawn.
    void touched(Windowless& control);
    // Repaints what the steps that have ended changed, in every container.
    static void settleAll();

protected:
    // Event steps under way in the innermost event loop: the outermost one settles what they all
    // changed when it ends. A message box's loop counts afresh, so a step run there (a click in
    // the other window) is painted when it ends, not when the box closes.
    static int stepsRunning;

private:
    friend class Host;
    void settle();

    Host* host_ = nullptr; // the widget it paints into, while both live
    std::vector<Windowless*> windowless_;
    std::vector<Windowless*> unsettled_;
};

// Client-area pixels of a place in twips.
QRect pixelRectOf(const Geometry& g);

// The container that paints its windowless controls into this widget, if any.
const Container* containerHostedBy(const QObject* widget);

} // namespace ui
