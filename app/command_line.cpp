// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the command line asks, and what is missing, before the application object exists:
// without a display Qt would abort and blame the installation.
#include "lumivex.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace app {

namespace {

void say(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

const char* const usage = "Usage: lumivex [QT-OPTION...]\n"
                          "A typing game: Korean or English words fall down the play field;\n"
                          "type one and end it with Enter or Space.\n"
                          "\n"
                          "  -h, --help     print this help and exit\n"
                          "      --version  print the version and exit\n"
                          "\n"
                          "Qt's own options work too, for example -platform wayland or -style "
                          "Fusion.\n"
                          "See lumivex(6) for how to play.\n";

// Where a Wayland client connects: WAYLAND_DISPLAY, as a path or a name in the runtime folder.
QString waylandSocket() {
    QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = QStringLiteral("wayland-0");
    if (QDir::isAbsolutePath(name))
        return name;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QLatin1Char('/') + name;
}

// Why none of the platforms asked for can open a window; empty when one can, or when the
// platform needs no display (offscreen, a framebuffer ...). Without a choice, Qt takes Wayland
// or X11, whichever the session has.
QString missingDisplay(const QString& platforms) {
    const QString socket = waylandSocket();
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !socket.isEmpty() && QFileInfo::exists(socket);
    QStringList missing;
    const QStringList asked = platforms.isEmpty()
                                  ? QStringList{QStringLiteral("xcb"), QStringLiteral("wayland")}
                                  : platforms.split(QLatin1Char(';'));
    for (const QString& platform : asked) {
        const QString name = platform.section(QLatin1Char(':'), 0, 0);
        if (name == u"xcb") {
            if (x11)
                return {};
            missing << QStringLiteral("DISPLAY is not set (X11)");
        } else if (name.startsWith(u"wayland")) {
            if (wayland)
                return {};
            missing << (socket.isEmpty() ? QStringLiteral("no Wayland display (WAYLAND_DISPLAY "
                                                          "and XDG_RUNTIME_DIR are not set)")
                                         : QStringLiteral("no Wayland display at %1 "
                                                          "(WAYLAND_DISPLAY)")
                                               .arg(socket));
        } else {
            return {};
        }
    }
    missing.removeDuplicates();
    return missing.join(QStringLiteral(", and "));
}

} // namespace

std::optional<int> answerBeforeStart(int argc, char** argv) {
    QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help")
            return say(stdout, QString::fromUtf8(usage)), 0;
        if (arg == "--version")
            return say(stdout, QStringLiteral("lumivex %1\n").arg(QStringLiteral(LUMIVEX_VERSION))),
                   0;
        if (arg == "-platform" && i + 1 < argc)
            platforms = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (const QString missing = missingDisplay(platforms); !missing.isEmpty()) {
        say(stderr, QStringLiteral("lumivex: Cannot open a window: %1.\n").arg(missing));
        return 1;
    }
    return std::nullopt;
}

std::optional<int> refuseUnknownArguments() {
    const QStringList left = QCoreApplication::arguments().mid(1);
    if (left.isEmpty())
        return std::nullopt;
    say(stderr, QStringLiteral("lumivex: Unknown argument '%1'; lumivex --help tells what it "
                               "takes.\n")
                    .arg(left.first()));
    return 2;
}

} // namespace app
