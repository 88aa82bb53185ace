// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "clock.h"

#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace ui {

namespace {

class QtTimerBackend final : public TimerBackend {
public:
    explicit QtTimerBackend(std::function<void()> onTick) {
        // The game tick must keep an even 50 ms; coarse timers may shift a period by 5 %.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

RealClock::RealClock() { since_.start(); }

std::int64_t RealClock::elapsedMs() const { return since_.elapsed(); }

std::unique_ptr<TimerBackend> RealClock::makeTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimerBackend>(std::move(onTick));
}

struct ManualClock::Entry {
    std::function<void()> onTick;
    bool running = false;
    int interval = 0;
    std::int64_t due = 0;
    std::uint64_t order = 0;
};

class ManualTimer final : public TimerBackend {
public:
    ManualTimer(ManualClock& clock, std::function<void()> onTick) : clock_(clock) {
        entry_.onTick = std::move(onTick);
        clock_.entries_.push_back(&entry_);
    }
    ~ManualTimer() override {
        auto& all = clock_.entries_;
        all.erase(std::remove(all.begin(), all.end(), &entry_), all.end());
    }
    void start(int intervalMs) override { clock_.schedule(entry_, intervalMs); }
    void stop() override { entry_.running = false; }

private:
    ManualClock& clock_;
    ManualClock::Entry entry_;
};

ManualClock::ManualClock() = default;

ManualClock::~ManualClock() {
    if (!entries_.empty())
        std::terminate(); // a timer outlived its clock: the test built things in the wrong order
}

std::unique_ptr<TimerBackend> ManualClock::makeTimer(std::function<void()> onTick) {
    return std::make_unique<ManualTimer>(*this, std::move(onTick));
}

void ManualClock::schedule(Entry& entry, int intervalMs) {
    if (intervalMs <= 0)
        throw std::invalid_argument("a running timer needs a positive interval");
    entry.running = true;
    entry.interval = intervalMs;
    entry.due = now_ + intervalMs;
    entry.order = sequence_++;
}

ManualClock::Entry* ManualClock::nextDue(std::int64_t limit) {
    Entry* best = nullptr;
    for (Entry* e : entries_) {
        if (!e->running || e->due > limit)
            continue;
        if (!best || e->due < best->due || (e->due == best->due && e->order < best->order))
            best = e;
    }
    return best;
}

void ManualClock::advance(std::int64_t ms) {
    if (ms < 0)
        throw std::invalid_argument("time only moves forward");
    const std::int64_t target = now_ + ms;
    while (Entry* e = nextDue(target)) {
        now_ = e->due;
        e->due += e->interval;
        e->order = sequence_++;
        e->onTick(); // may restart, stop or destroy timers, or advance the clock itself
    }
    now_ = std::max(now_, target);
}

} // namespace ui
