// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The falling words and the misses.
#include "frmlumi.h"

#include "ui/services/numbers.h"

#include <algorithm>
#include <cmath>

namespace game {

namespace {
constexpr float kBottomLine = 4800;
constexpr std::int16_t kStepBase = 30;
} // namespace

void frmlumi::tmrlumi_Timer() {
    for (int i = 0; i < kWords; ++i) {
        ui::Label& word = lbllumi(i);
        const float r = services().random.next();
        const float top = word.Top();
        const std::int16_t s = ui::add16(SpeedChr, kStepBase);
        const float step = std::floor(static_cast<float>(s) * r);
        word.setTop(top + step);
        if (word.Top() < kBottomLine)
            continue;

        MissFlag = 1;
        Poor->setVisible(true);
        Timer1->setEnabled(true);
        // Never below 0: a level clear typed after a Game Over switches the tick on over a word
        // still lying on the bottom line, and that miss must end the game again, not show "-1".
        lblbonus->setCaption(ui::textOf(std::max(ui::numberOf(lblbonus->Caption()) - 1, 0.0)));
        ++tally_.livesLost;
        Shplumi(LifeCursor).setBackStyle(0);
        LifeCursor = ui::add16(LifeCursor, 1);
        if (LifeCursor == kMarkers)
            LifeCursor = 0;
        if (ui::numberOf(lblbonus->Caption()) < 1) {
            gameOver();
            return;
        }
        sendBackToTop(word);
    }
}

void frmlumi::gameOver() {
    // Ended by the last miss, not when the player gets round to closing the box.
    endTally();
    MsgBox(QStringLiteral("관중들 : 우우우우~~"), QStringLiteral("Game Over!"));
    cmdstop_Click();
}

// A missed or a hit word starts again at the top with a new word.
void frmlumi::sendBackToTop(ui::Label& word) {
    word.setTop(0);
    word.setCaption(randomWord());
}

} // namespace game
