// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "game/frmlumi.h"
#include "intro/frmservices.h"
#include "records/keeper.h"
#include "ui/services/services.h"

#include <QApplication>

#include <optional>

namespace app {

// --help and --version, an argument no Qt takes (status 2), and a display that answers,
// before the application object exists: the exit status when the program must end there.
std::optional<int> answerBeforeStart(int argc, char** argv);
// What is left of the command line once Qt has taken its own options: --words FILE and
// --records, or an error (status 2), such as an X11 option given to another platform.
struct CommandLine {
    QString wordsFile;
    bool records = false; // the records window alone
};
std::optional<int> readCommandLine(CommandLine& asked);

// The words the game starts with: FILE of --words, else the list remembered from the last run.
// A bad FILE ends the start (status 2); a remembered list gone bad is forgotten and the built-in
// words play. Either is said in one line on standard error.
std::optional<int> startWords(game::frmlumi& game, ui::WordListFiles& files,
                              const QString& commandLine);

// The style and the fonts every window is built with. Needs the application object.
void applyLook();

// The program's two windows, for as long as it runs: the game window exists from the intro's
// load step on, and the intro window is only ever hidden.
struct Windows {
    explicit Windows(ui::Services& services) : frmlumi(services), frmservices(services, frmlumi) {}
    // Loads and shows the intro window, whose load step loads the game window hidden.
    void open() { frmservices.Show(); }

    game::frmlumi frmlumi;
    intro::frmservices frmservices;
};

// Choices the application object reads when it is created.
struct Prelude {
    Prelude();
};

// The program: the application object, its look, the real clock, random source, message
// boxes and error policy, and its windows.
class Lumivex {
public:
    Lumivex(int& argc, char** argv);
    int run();

private:
    Prelude prelude_;
    QApplication application_;
    ui::RealClock clock_;
    ui::SystemRandom random_;
    ui::QtMessageBoxes messages_;
    ui::QtAnnouncer announcer_;
    ui::QtProgram program_;
    ui::DesktopWordListFiles wordLists_;
    records::Keeper records_;
    ui::Services services_{clock_, random_, messages_, program_, announcer_, wordLists_, records_};
    Windows windows_{services_};
};

} // namespace app
