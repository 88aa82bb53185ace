// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>

namespace ui {

// Window arithmetic is 16-bit signed; leaving that range is an error, never a wrap-around.
std::int16_t add16(std::int16_t a, std::int16_t b);

// A caption read as a number, the way the game keeps its score and lives in labels.
double numberOf(const QString& text);

// Plain decimal text: "9", "0", "-1", "140"; fractions keep their digits.
QString textOf(double value);

// The nearest 32-bit integer (halves to even), or an overflow error.
std::int32_t toInt32(double value);

} // namespace ui
