// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "random.h"

#include <chrono>
#include <stdexcept>

namespace ui {

void SystemRandom::seedFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint32_t>(now ^ (now >> 32)));
}

float SystemRandom::next() {
    // 24 random bits fill a float's mantissa exactly, so the value can never round up to 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

float ScriptedRandom::next() {
    ++drawn_;
    if (!script_.empty()) {
        const float value = script_.front();
        script_.pop_front();
        return value;
    }
    if (fallback_)
        return *fallback_;
    throw std::logic_error("the scripted random source has run out of values");
}

void ScriptedRandom::push(std::initializer_list<float> values) {
    script_.insert(script_.end(), values.begin(), values.end());
}

} // namespace ui
