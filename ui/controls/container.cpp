// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "container.h"

#include "form.h"
#include "hosts.h"
#include "windowless.h"

#include <utility>

namespace ui {

int Container::stepsRunning = 0;

QRect pixelRectOf(const Geometry& g) {
    const int left = pixels(g.left);
    const int top = pixels(g.top);
    return QRect(QPoint(left, top),
                 QPoint(pixels(g.left + g.width) - 1, pixels(g.top + g.height) - 1));
}

namespace {

std::vector<Container*> unsettledContainers;

} // namespace

Container::~Container() {
    std::erase(unsettledContainers, this);
    if (host_)
        host_->container_ = nullptr;
}

void Container::release(const Windowless& control) {
    std::erase(windowless_, &control);
    std::erase(unsettled_, &control);
}

void Container::touched(Windowless& control) {
    unsettled_.push_back(&control);
    if (unsettled_.size() > 1)
        return;
    if (stepsRunning > 0) {
        unsettledContainers.push_back(this);
        return;
    }
    // Changed outside any step (while a window is built): painted on the next turn of the loop.
    QMetaObject::invokeMethod(
        hostWidget(),
        [this] {
            settle();
            Form::announceNews();
        },
        Qt::QueuedConnection);
}

void Container::settleAll() {
    for (Container* container : std::exchange(unsettledContainers, {}))
        container->settle();
    Form::announceNews();
}

// Painted at once, as the step ends: a posted update request would cost every tick of play a
// second turn of the event loop.
void Container::settle() {
    QRegion dirty;
    for (Windowless* control : std::exchange(unsettled_, {}))
        control->settle(dirty);
    QWidget* host = hostWidget();
    if (dirty.isEmpty() || !host || !host->isVisible())
        return;
    host->repaint(dirty.translated(clientOrigin()));
}

// Only the controls under the dirty rectangles themselves: words far apart make a bounding
// rectangle that spans the whole play field.
void Container::paintWindowless(QPainter& painter, const QRegion& dirty) const {
    painter.save();
    painter.translate(clientOrigin());
    const QRegion clientDirty = dirty.translated(-clientOrigin());
    for (const Windowless* control : windowless_) {
        if (control->Visible() &&
            clientDirty.intersects(control->pixelRect().adjusted(-1, -1, 1, 1)))
            control->paint(painter);
    }
    painter.restore();
}

const Container* containerHostedBy(const QObject* widget) {
    const auto* host = dynamic_cast<const Host*>(widget);
    return host ? host->container() : nullptr;
}

} // namespace ui
