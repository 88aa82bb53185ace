// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace ui {

// A game as the game window counted it, from Start to the step that ended it.
struct FinishedGame {
    bool korean = true;
    bool fast = false;  // the speed chosen when it started
    QString wordList;   // the list's file name; empty for the built-in words
    QString listDigest; // of the list's words, so that an edited list is another list
    std::int64_t playedMs = 0;
    double score = 0;
    int entered = 0; // words ended with Enter or Space
    int hits = 0;
    int livesLost = 0;
    int bestCombo = 0;
    int comboBonuses = 0; // at a combo of 40
    int levelClears = 0;
    int characters = 0; // of the words hit
    int strokes = 0;    // keys of the words hit: 2-set jamo for Hangul, one a character else
};

// Where finished games go, and the window that shows them. The game never knows how they are
// kept; it tells of a game only once it has ended, so that nothing waits on a disk during play.
class GameRecords {
public:
    virtual ~GameRecords() = default;
    virtual void keep(const FinishedGame& game) = 0;
    virtual void show() = 0;
};

class RecordingGameRecords final : public GameRecords {
public:
    void keep(const FinishedGame& game) override { kept.push_back(game); }
    void show() override { ++shown; }

    std::vector<FinishedGame> kept;
    int shown = 0;
};

} // namespace ui
