// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

// A periodic wake-up owned by one Timer control.
class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    // (Re)starts counting a full period from now.
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// Where time comes from: Qt's event loop in the program, a hand-advanced clock in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::unique_ptr<TimerBackend> makeTimer(std::function<void()> onTick) = 0;
    // Milliseconds since some fixed moment, never going back: how long a game lasted.
    virtual std::int64_t elapsedMs() const = 0;
};

class RealClock final : public Clock {
public:
    RealClock();
    std::unique_ptr<TimerBackend> makeTimer(std::function<void()> onTick) override;
    std::int64_t elapsedMs() const override;

private:
    QElapsedTimer since_;
};

// Virtual milliseconds: advance() fires every due period in time order (ties in the order
// they were scheduled), with now() set to the moment each one falls due.
class ManualClock final : public Clock {
public:
    ManualClock();
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    std::unique_ptr<TimerBackend> makeTimer(std::function<void()> onTick) override;
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }
    std::int64_t elapsedMs() const override { return now_; }

    struct Entry;

private:
    friend class ManualTimer;
    void schedule(Entry& entry, int intervalMs);
    Entry* nextDue(std::int64_t limit);

    std::int64_t now_ = 0;
    std::uint64_t sequence_ = 0;
    std::vector<Entry*> entries_;
};

} // namespace ui
