// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessible>

namespace ui {

class Label;
class Windowless;

// Windowless labels have no widget of their own, so screen readers would not see the falling
// words, the score or the lives: each window and picture box lists its labels as accessible
// children after its widgets. Called by every form before it builds its window.
void installAccessibility();

// A label going away takes what screen readers read of it along.
void forgetAccessible(const Windowless& control);

// Tells a screen reader that a label it knows was shown or hidden.
void announceShown(const Windowless& control, bool shown);
// Tells a screen reader that a label it knows shows another caption: as a new name where the
// caption is the name, as a new text where the name says what the caption counts.
void announceCaption(const Label& label, const QString& before, bool nameChanged);

} // namespace ui
