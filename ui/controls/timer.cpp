// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "timer.h"

#include "form.h"

namespace ui {

Timer::Timer(Form& form, QString name, int intervalMs, bool enabled)
    : Control(form, std::move(name)), backend_(form.services().clock.makeTimer([this] { tick(); })),
      interval_(intervalMs), enabled_(enabled) {
    restart();
}

Timer::~Timer() = default;

void Timer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void Timer::restart() {
    if (running())
        backend_->start(interval_);
    else
        backend_->stop();
}

void Timer::tick() {
    if (!running() || !handler_ || form().messageBoxOpen() || form().services().program.ended())
        return;
    form().dispatch(handler_);
}

} // namespace ui
