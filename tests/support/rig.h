// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/lumivex.h"

#include <QImage>
#include <QWidget>

// Both windows as start-up builds them, on a manual clock, a scripted random source, recorded
// message boxes and a recorded program end, played through real Qt events.
struct Rig {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
    app::Windows windows{services};
    game::frmlumi& w = windows.frmlumi;
    intro::frmservices& intro = windows.frmservices;

    // The game window alone, shown; the six draws its load step deals come first.
    game::frmlumi& open(std::initializer_list<float> deal = {0, 0, 0, 0, 0, 0});
    // Start-up: the intro window shown, the game window loaded hidden inside its load step.
    intro::frmservices& start();

    // The draw that picks WordBank entry `index`, and the one that moves a word by `twips`.
    static float pick(int index) { return (static_cast<float>(index) + 0.5f) / 50.0f; }
    float step(int twips) const { return (twips + 0.5f) / static_cast<float>(w.SpeedChr + 30); }
    // One game tick that must take exactly `draws`.
    void tick(std::initializer_list<float> draws);
    // A tick in which only lbllumi(5), put just above the bottom line, moves: a miss.
    void miss();

    void click(ui::Windowed& control);
    void close(ui::Form& form) { form.widget()->close(); }
    // Keys for ASCII, and what an input method delivers for the rest.
    void type(const QString& text);
    void press(Qt::Key key);
    void compose(const QString& commit, const QString& preedit);
    static void compose(QWidget* box, const QString& commit, const QString& preedit);
    // Types the word on lbllumi(0) and ends it with Enter; entry 0 is dealt in its place.
    void hit(int times = 1);
    QString entry() const { return w.txtlumi->Text(); }

    // What the window last put on screen, one pixel per logical pixel: unlike a fresh grab,
    // it shows a spot that a step forgot to repaint.
    static QImage screen(const ui::Form& form);
};
