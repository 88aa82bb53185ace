// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/controls/controls.h"

#include <array>
#include <cstdint>

namespace game {

// The game window. Its event steps live one concern per file: layout, state, word_bank,
// tick, typing and flash.
class frmlumi final : public ui::Form {
public:
    explicit frmlumi(ui::Services& services);

    // Window variables: zero or empty until the load step runs.
    std::int16_t SpeedChr = 0;
    std::int16_t MissFlag = 0;
    std::int16_t ComboCount = 0;
    std::array<QString, 50> WordBank;
    std::int16_t LifeCursor = 0;

    // Controls, created by the layout in stored order.
    ui::Timer* Timer3 = nullptr;
    ui::Timer* Timer2 = nullptr;
    ui::Timer* Timer1 = nullptr;
    ui::Frame* frajapan = nullptr;
    ui::OptionButton* optenglish = nullptr;
    ui::OptionButton* optkorean = nullptr;
    ui::CommandButton* cmdexit = nullptr;
    ui::Frame* fralevel = nullptr;
    ui::OptionButton* optslow = nullptr;
    ui::OptionButton* optfast = nullptr;
    ui::CommandButton* cmdstop = nullptr;
    ui::CommandButton* cmdstart = nullptr;
    ui::TextBox* txtlumi = nullptr;
    ui::Timer* tmrlumi = nullptr;
    ui::PictureBox* Picture1 = nullptr;
    ui::Line* Line4 = nullptr;
    ui::Line* Line3 = nullptr;
    ui::Line* Line2 = nullptr;
    ui::Line* Line1 = nullptr;
    ui::Label* Super = nullptr;
    ui::Label* Good = nullptr;
    ui::Label* Poor = nullptr;
    ui::Label* CT = nullptr;
    ui::Label* CN = nullptr;
    ui::Label* Label3 = nullptr;
    ui::Label* Label1 = nullptr;
    ui::Label* lblbonus = nullptr;
    ui::Label* lblscore = nullptr;

    // Control arrays, indexed from 0; a bad index is an error, as in any window arithmetic.
    ui::Label& lbllumi(int index) const;
    ui::Shape& Shplumi(int index) const;
    static constexpr int kWords = 6;
    static constexpr int kMarkers = 10;

    // Event steps.
    void Form_Load() override;
    void cmdstart_Click();
    void cmdstop_Click();
    void cmdexit_Click();
    void optfast_Click();
    void optslow_Click();
    void optkorean_Click();
    void optenglish_Click();
    void tmrlumi_Timer();
    void txtlumi_KeyPress(int& KeyAscii);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // A random entry of WordBank.
    QString randomWord();

protected:
    void build() override;

private:
    void connectSteps();
    void fillWordBank(const std::array<const char16_t*, 50>& words);
    void dealHiddenWords();
    void gameOver();
    void addToScore(double points);
    void sendBackToTop(ui::Label& word);

    std::array<ui::Label*, kWords> lbllumi_{};
    std::array<ui::Shape*, kMarkers> Shplumi_{};
};

} // namespace game
