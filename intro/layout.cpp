// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The intro window as it is first built: every control in stored order.
#include "frmservices.h"

namespace intro {

namespace {

const QColor kLightGrey(192, 192, 192);

ui::LabelProps credits() {
    ui::LabelProps props;
    props.caption = QStringLiteral("Label1");
    props.at = ui::Geometry{960, 4320, 6135, 255};
    props.font = ui::FontProps{QStringLiteral("궁서"), 11.25, true};
    props.backStyle = 0;
    props.alignment = ui::Alignment::Center;
    return props;
}

} // namespace

frmservices::frmservices(ui::Services& services, game::frmlumi& frmlumi)
    : ui::Form(services, QStringLiteral("frmservices")), frmlumi_(frmlumi) {}

void frmservices::build() {
    setWindow(QStringLiteral("머 릿 말 "), 8745, 6105, kLightGrey);

    tmrbackcolor = &add<ui::Timer>(*this, QStringLiteral("tmrbackcolor"), 2000, true);
    tmrscroll = &add<ui::Timer>(*this, QStringLiteral("tmrscroll"), 0, true);
    cmdservice = &add<ui::CommandButton>(
        *this, QStringLiteral("cmdservice"),
        QStringLiteral("Your bit motion start - 당신의 비트 모션이 시작됩니다."),
        ui::WindowedProps{{240, 5400, 8292, 492}, {QStringLiteral("굴림"), 13.5, true, true}, 2});
    picservice = &add<ui::PictureBox>(*this, QStringLiteral("picservice"),
                                      ui::WindowedProps{{240, 120, 8292, 4932}, {}, 0});
    lblservice = &add<ui::Label>(*picservice, QStringLiteral("lblservice"), credits());
    // A screen reader names the first tab stop by what it shows.
    picservice->setAccessibleName(QStringLiteral("Credits"));

    connectSteps();
}

void frmservices::connectSteps() {
    tmrbackcolor->onTimer([this] { tmrbackcolor_Timer(); });
    tmrscroll->onTimer([this] { tmrscroll_Timer(); });
    cmdservice->onClick([this] { cmdservice_Click(); });
    onShortcut(QStringLiteral("Ctrl+R"), [this] { services().records.show(); });
}

} // namespace intro
