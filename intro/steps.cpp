// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The load step, the credits roll, the blink and the hand-over to the game window.
#include "frmservices.h"

#include "ui/services/numbers.h"
#include "ui/services/picture.h"

namespace intro {

namespace {

constexpr std::int16_t kRollStart = 4000;
constexpr std::int16_t kRollStep = -20;
constexpr std::int16_t kRollRest = 360;
// The credits enter here and the label's bottom edge stays here while its top rises.
constexpr std::int16_t kRollBottom = 3990;
constexpr int kLightGreen = 10;
constexpr int kLightMagenta = 13;

QString credits() {
    const QString cr(QChar(13));
    return QStringLiteral("<<Lumivex>> ver1.0") + cr + cr +
           QStringLiteral("키보드는 남보다 잘치는데") + cr +
           QStringLiteral("옆의 비트매니아 잘하는사람") + cr + QStringLiteral("이 부러운 사람.") +
           cr + cr + cr + QStringLiteral("비트매니아 잘하는데 ") + cr +
           QStringLiteral("고작 루미벡스도 못치는 사람") + cr + cr +
           QStringLiteral("* 이 모든 분들을 위해 *") + cr + QStringLiteral("^.^ Orlanworks") + cr +
           cr + QStringLiteral("만든이 : 미 르 솔") + cr +
           QStringLiteral("이 양날개 교본을 바칩니다") + cr + cr +
           QStringLiteral("신의 가호가 있기를......");
}

} // namespace

void frmservices::Form_Load() {
    const ui::Picture icon = ui::loadPicture(QStringLiteral("NoviIcon.ico"));
    // The first reference to the game window: its whole load step runs here, hidden.
    frmlumi_.setIcon(icon);
    setIcon(icon);
    lblservice->setCaption(credits());
    ScrollTop = kRollStart;
    tmrscroll->setInterval(100);
    tmrbackcolor->setInterval(500);
}

void frmservices::tmrscroll_Timer() {
    ScrollTop = ui::add16(ScrollTop, kRollStep);
    if (ScrollTop < kRollRest) {
        ScrollTop = kRollRest;
        tmrscroll->setInterval(0);
    }
    lblservice->setTop(ScrollTop);
    lblservice->setHeight(static_cast<float>(kRollBottom - ScrollTop));
}

void frmservices::tmrbackcolor_Timer() {
    if (BlinkState == 0) {
        cmdservice->setBackColor(ui::paletteColor(kLightMagenta));
        BlinkState = 1;
    } else {
        cmdservice->setBackColor(ui::paletteColor(kLightGreen));
        BlinkState = 0;
    }
}

void frmservices::cmdservice_Click() {
    frmlumi_.Load();
    frmlumi_.Show();
    Hide();
}

} // namespace intro
