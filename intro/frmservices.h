// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "game/frmlumi.h"
#include "ui/controls/controls.h"

#include <cstdint>

namespace intro {

// The intro window: credits that roll up once, a button that blinks for the life of the
// program and hands over to the game window.
class frmservices final : public ui::Form {
public:
    frmservices(ui::Services& services, game::frmlumi& frmlumi);

    // Window variables: zero until the load step runs.
    std::int16_t ScrollTop = 0;
    std::int16_t BlinkState = 0;

    // Controls, created by the layout in stored order.
    ui::Timer* tmrbackcolor = nullptr;
    ui::Timer* tmrscroll = nullptr;
    ui::CommandButton* cmdservice = nullptr;
    ui::PictureBox* picservice = nullptr;
    ui::Label* lblservice = nullptr;

    // Event steps.
    void Form_Load() override;
    void tmrscroll_Timer();
    void tmrbackcolor_Timer();
    void cmdservice_Click();

protected:
    void build() override;

private:
    void connectSteps();

    game::frmlumi& frmlumi_;
};

} // namespace intro
