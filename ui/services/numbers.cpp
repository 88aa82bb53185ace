// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numbers.h"

#include "errors.h"

#include <cmath>
#include <limits>

namespace ui {

std::int16_t add16(std::int16_t a, std::int16_t b) {
    const int sum = int{a} + int{b};
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max())
        throw OverflowError(QStringLiteral("%1 + %2 leaves the 16-bit range").arg(a).arg(b));
    return static_cast<std::int16_t>(sum);
}

double numberOf(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw TypeMismatchError(text);
    return value;
}

QString textOf(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

std::int32_t toInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        throw OverflowError(QStringLiteral("%1 does not fit in 32 bits").arg(textOf(value)));
    return static_cast<std::int32_t>(rounded);
}

} // namespace ui
