#pragma once

#include "game/frmlumi.h"

#include <QString>

#include <memory>

// A game window on a manual clock, a scripted random source, recorded message boxes and a
// recorded program end: everything a test needs to play without real time or a screen.
struct GameFixture {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
    std::unique_ptr<game::frmlumi> window;

    GameFixture();
    ~GameFixture();

    // Builds, loads and shows the window; the six deal draws of the load step come first.
    game::frmlumi& open(std::initializer_list<float> dealDraws = {0, 0, 0, 0, 0, 0});

    // A value whose pick is WordBank entry `index`.
    static float pick(int index) { return (static_cast<float>(index) + 0.5f) / 50.0f; }

    // Player actions, as real Qt events into the widgets.
    void click(ui::CommandButton& button);
    void click(ui::OptionButton& option);
    void type(const QString& text);
    void pressEnter();
    void pressSpace();
    QString entryText() const;
};
