// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessible>

namespace ui {

class Windowless;

// Windowless labels have no widget of their own, so screen readers would not see the falling
// words, the score or the lives: each window and picture box lists its labels as accessible
// children after its widgets. Called by every form before it builds its window.
void installAccessibility();

// Tells a screen reader that a label it knows changed its caption or its visibility.
void announce(const Windowless& control, QAccessible::Event change);

} // namespace ui
