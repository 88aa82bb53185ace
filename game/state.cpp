// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loading, Start, Stop, Exit and the speed options.
#include "frmlumi.h"

#include "ui/services/picture.h"

namespace game {

frmlumi::frmlumi(ui::Services& services) : ui::Form(services, QStringLiteral("frmlumi")) {}

void frmlumi::Form_Load() {
    setIcon(ui::loadPicture(QStringLiteral("NoviIcon.ico")));
    services().random.seedFromClock();
    optkorean->setValue(true);
    optslow->setValue(true);
    tmrlumi->setEnabled(false);
    MissFlag = 0;
    for (int i = 1; i < kWords; ++i)
        lbllumi(i).setBackStyle(0);
}

void frmlumi::cmdstart_Click() {
    for (int i = 0; i < kWords; ++i) {
        lbllumi(i).setVisible(true);
        lbllumi(i).setTop(0);
    }
    for (int j = 0; j < kMarkers; ++j)
        Shplumi(j).setBackStyle(1);
    cmdstart->setEnabled(false);
    cmdstop->setEnabled(true);
    lblbonus->setCaption(QStringLiteral("10"));
    lblscore->setCaption(QStringLiteral("0"));
    tmrlumi->setEnabled(true);
    if (optfast->Value())
        SpeedChr = 40;
    if (optslow->Value())
        SpeedChr = 5;
    txtlumi->SetFocus();
    beginTally();
}

void frmlumi::cmdstop_Click() {
    tmrlumi->setEnabled(false);
    cmdstart->setEnabled(true);
    endTally();
}

void frmlumi::cmdexit_Click() {
    endTally();
    services().program.end();
}

void frmlumi::Form_Unload() { cmdexit_Click(); }

void frmlumi::optfast_Click() {
    if (optfast->Value())
        SpeedChr = 50;
}

void frmlumi::optslow_Click() {
    if (optslow->Value())
        SpeedChr = 5;
}

} // namespace game
