#pragma once

#include "game/frmlumi.h"
#include "ui/services.h"

#include <QApplication>

namespace app {

// The program: the application object, its look, the real clock, random source, message
// boxes and error policy, and its windows.
class Lumivex {
public:
    Lumivex(int& argc, char** argv);
    int run();

private:
    QApplication application_;
    ui::RealClock clock_;
    ui::SystemRandom random_;
    ui::QtMessageBoxes messages_;
    ui::QtProgram program_;
    ui::Services services_{clock_, random_, messages_, program_};
    game::frmlumi frmlumi_{services_};
};

} // namespace app
