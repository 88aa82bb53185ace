// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <optional>
#include <random>

namespace ui {

// One source of uniform values 0 <= r < 1 for the whole program.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

class SystemRandom final : public RandomSource {
public:
    void seedFromClock() override;
    float next() override;

private:
    std::mt19937 engine_{0x4c756d69u};
};

// Tests decide every value the game draws; running out is a test bug, so it throws
// unless a value to repeat has been set.
class ScriptedRandom final : public RandomSource {
public:
    void seedFromClock() override { ++seeds_; }
    float next() override;

    void push(std::initializer_list<float> values);
    void push(float value) { script_.push_back(value); }
    void repeatWhenEmpty(float value) { fallback_ = value; }
    std::size_t pending() const { return script_.size(); }
    int timesSeeded() const { return seeds_; }
    long long drawn() const { return drawn_; }

private:
    std::deque<float> script_;
    std::optional<float> fallback_;
    int seeds_ = 0;
    long long drawn_ = 0;
};

} // namespace ui
