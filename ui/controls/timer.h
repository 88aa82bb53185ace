// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "control.h"

#include "ui/services/services.h"

#include <functional>
#include <memory>

namespace ui {

// Fires every Interval ms while Enabled; switching it on or changing the interval starts a
// full period afresh, and interval 0 stops it. While its window shows a message box, the
// periods that fall due are dropped.
class Timer final : public Control {
public:
    Timer(Form& form, QString name, int intervalMs, bool enabled);
    ~Timer() override;
    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool running() const { return enabled_ && interval_ > 0; }
    void onTimer(std::function<void()> handler) { handler_ = std::move(handler); }

private:
    void restart();
    void tick();

    std::unique_ptr<TimerBackend> backend_;
    std::function<void()> handler_;
    int interval_;
    bool enabled_;
};

} // namespace ui
