// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/controls/controls.h"
#include "words/word_list.h"

#include <array>
#include <cstdint>
#include <vector>

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
    std::vector<QString> WordBank;
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
    // Ctrl+O and Ctrl+Shift+O: a word list of the player's own, and the built-in words again.
    void Form_OpenWordList();
    void Form_BuiltInWords();
    // Ctrl+R between games: the records of the games played.
    void Form_Records();
    // Closing the window through its frame: Exit.
    void Form_Unload() override;

    // A random entry of WordBank.
    QString randomWord();

    // The words the language steps fill WordBank with from now on, a list's or (empty) the
    // built-in ones; once the window is loaded, the waiting words are dealt from them at once.
    void useWords(words::WordList list);
    // Whether a word fits wherever it may fall: wholly inside the window, at the game's font.
    static words::TooWide fieldFit();

protected:
    void build() override;

private:
    void connectSteps();
    void fillWordBank(const std::array<const char16_t*, 50>& builtIn, const QStringList& own);
    QString title() const;
    void dealHiddenWords();
    void gameOver();
    void addToScore(double points);
    void sendBackToTop(ui::Label& word);

    // What the records keep of the game in play (tally.cpp).
    void beginTally();
    void tallyHit(const QString& caption);
    void endTally();

    std::array<ui::Label*, kWords> lbllumi_{};
    std::array<ui::Shape*, kMarkers> Shplumi_{};
    words::WordList ownWords_;
    ui::FinishedGame tally_;
    bool playing_ = false;
    std::int64_t startedAt_ = 0;
};

} // namespace game
