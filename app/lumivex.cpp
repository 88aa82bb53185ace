// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lumivex.h"

#include <QAccessible>
#include <QStyleFactory>

#include <fontconfig/fontconfig.h>

#include <thread>

namespace app {

void applyLook() {
    // Fusion draws button faces in the colours the program sets, on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ui::installFonts();
}

Prelude::Prelude() {
    // Every frame of play changes a few small rectangles. Put through shared memory, each
    // frame first waits for the X server to finish reading the last one (a round trip, and
    // two more threads woken 20 times a second); sent inline, it is one write of a few KiB.
    // A setting the user made stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

Lumivex::Lumivex(int& argc, char** argv) : application_(argc, argv) {
    // Two slow first steps overlap. Fontconfig reads its configuration and caches (about 3 ms
    // of work) before the first text can be measured. Meanwhile Qt connects to the
    // accessibility bus, which it would otherwise do at the first caption: mostly waiting on
    // D-Bus, several milliseconds when the session bus must first be found. Fontconfig is
    // only given a head start: Qt makes the same call, and reports what fails.
    std::thread fontconfig([] { FcInit(); });
    QAccessible::isActive();
    fontconfig.join();
    applyLook();
    // Docks and task bars match a window to its menu entry by these: the Wayland app id is the
    // desktop file name, the X11 window class the application name (the entry's
    // StartupWMClass), whatever the executable is called.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumivex.Lumivex"));
    QCoreApplication::setApplicationName(QStringLiteral("lumivex"));
}

int Lumivex::run() {
    CommandLine asked;
    if (const auto refused = readCommandLine(asked))
        return *refused;
    if (asked.records) {
        records_.show();
        return QApplication::exec();
    }
    if (const auto refused = startWords(windows_.frmlumi, wordLists_, asked.wordsFile))
        return *refused;
    windows_.open();
    // A failed start has been reported already, and no window is on screen.
    if (program_.ended())
        return program_.status();
    return QApplication::exec();
}

} // namespace app
