// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The feedback signs end one second after they were shown.
#include "frmlumi.h"

namespace game {

// The end of the miss sign is also the end of the miss: a new combo may begin.
void frmlumi::Timer1_Timer() {
    MissFlag = 0;
    ComboCount = 0;
    CT->setVisible(false);
    CN->setVisible(false);
    Poor->setVisible(false);
    Timer1->setEnabled(false);
}

void frmlumi::Timer2_Timer() {
    Good->setVisible(false);
    Timer2->setEnabled(false);
}

void frmlumi::Timer3_Timer() {
    Super->setVisible(false);
    Timer3->setEnabled(false);
}

} // namespace game
