// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the records keep of a game. A game is what a player calls one: it begins with Start and
// ends at the miss that shows Game Over, at Stop, at a change of language or with the program.
// Words typed while none runs (the last game's words still stand, and still match) belong to
// no game, nor does a tick that a level clear typed then switches on again; Start counts
// afresh, so what is tallied in between is never kept.
#include "frmlumi.h"

#include "ui/services/numbers.h"

#include <algorithm>
#include <utility>

namespace game {

void frmlumi::beginTally() {
    tally_ = {};
    tally_.korean = optkorean->Value();
    tally_.fast = optfast->Value();
    if (!ownWords_.path.isEmpty()) {
        tally_.wordList = ownWords_.name();
        tally_.listDigest = ownWords_.digest();
    }
    startedAt_ = services().clock.elapsedMs();
    playing_ = true;
}

void frmlumi::tallyHit(const QString& caption) {
    const QString word = caption.trimmed(); // as the player typed it
    ++tally_.hits;
    tally_.characters += static_cast<int>(word.toUcs4().size());
    tally_.strokes += words::strokes(word);
    tally_.bestCombo = std::max<int>(tally_.bestCombo, ComboCount);
}

// A game with no word entered is no game to remember: Start pressed and left.
void frmlumi::endTally() {
    if (!std::exchange(playing_, false) || tally_.entered == 0)
        return;
    tally_.playedMs = services().clock.elapsedMs() - startedAt_;
    tally_.score = ui::numberOf(lblscore->Caption());
    services().records.keep(tally_);
}

void frmlumi::Form_Records() {
    if (cmdstart->Enabled())
        services().records.show();
}

} // namespace game
