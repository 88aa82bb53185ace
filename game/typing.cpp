// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Matching the typed word, and the scoring.
#include "frmlumi.h"

#include "ui/services/numbers.h"

namespace game {

namespace {
constexpr int kEnter = 13;
constexpr int kSpace = 32;
constexpr std::int16_t kSuperCombo = 40;
constexpr std::int16_t kLevelClear = 80;

// Only the space character is trimmed; tabs and other blanks are part of what was typed.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
} // namespace

void frmlumi::txtlumi_KeyPress(int& KeyAscii) {
    if (KeyAscii != kEnter && KeyAscii != kSpace)
        return;
    const QString typed = trimSpaces(txtlumi->Text());
    if (!typed.isEmpty())
        ++tally_.entered;

    // The caption is trimmed too: the bank shows one word with a leading space, which no
    // trimmed entry could otherwise ever match.
    int hit = -1;
    for (int i = 0; i < kWords; ++i) {
        if (typed == trimSpaces(lbllumi(i).Caption())) {
            hit = i;
            break;
        }
    }
    if (hit < 0) {
        txtlumi->setText(QString());
        txtlumi->SetFocus();
        return;
    }

    addToScore(1);
    Good->setVisible(true);
    Timer2->setEnabled(true);
    if (MissFlag == 0) {
        ComboCount = ui::add16(ComboCount, 1);
        CN->setCaption(QString::number(ComboCount));
        CT->setVisible(true);
        CN->setVisible(true);
        if (ComboCount == kSuperCombo) {
            Good->setVisible(false);
            Super->setVisible(true);
            addToScore(100);
            Timer3->setEnabled(true);
            ++tally_.comboBonuses;
        }
        if (ComboCount == kLevelClear) {
            Good->setVisible(false);
            Super->setVisible(true);
            addToScore(600);
            Timer3->setEnabled(true);
            ++tally_.levelClears;
            tmrlumi->setEnabled(false);
            MsgBox(QStringLiteral(
                       "Level Cleared!! - 드디어 당신은 루미벡스에 통달했습니다!다음 레벨! -"),
                   QStringLiteral("레벨 클리어!"));
            optfast->setValue(true);
            tmrlumi->setEnabled(true);
        }
    }
    if (ui::toInt32(ui::numberOf(lblscore->Caption())) % 50 == 0)
        SpeedChr = ui::add16(SpeedChr, 10);
    tallyHit(lbllumi(hit).Caption());
    sendBackToTop(lbllumi(hit));
    txtlumi->setText(QString());
    txtlumi->SetFocus();
}

void frmlumi::addToScore(double points) {
    lblscore->setCaption(ui::textOf(ui::numberOf(lblscore->Caption()) + points));
}

} // namespace game
