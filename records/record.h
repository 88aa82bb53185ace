// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/services/game_records.h"

#include <QDateTime>

namespace records {

// A finished game as it is kept: the game's own count, and when it began.
struct Record : ui::FinishedGame {
    QDateTime when; // UTC
    qint64 id = 0;  // in the order games were kept

    QString language() const;
    QString speedSetting() const;
    QString listShown() const; // the list's file name, or "built-in"
    // Keys a minute for Korean (타/분), characters a minute for English; 0 for no time at all.
    double typingSpeed() const;
    QString speedUnit() const;
    // Words hit of words entered, in per cent.
    double accuracy() const;
    // Games of one kind are compared for the best score: one language, speed and list.
    QString kind() const;
};

} // namespace records
