// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the command line asks, and what is missing, before the application object exists:
// without a display Qt would abort and blame the installation.
#include "lumivex.h"

#include "records/csv.h"

#include <QDir>
#include <QFile>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace app {

namespace {

void say(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

int refuse(const QString& why) {
    say(stderr, QStringLiteral("lumivex: %1; lumivex --help tells what it takes.\n").arg(why));
    return 2;
}

const char* const usage = "Usage: lumivex [--words FILE] [QT-OPTION...]\n"
                          "       lumivex --records | --export-records\n"
                          "A typing game: Korean or English words fall down the play field;\n"
                          "type one and end it with Enter or Space.\n"
                          "\n"
                          "      --words FILE      play the words of FILE, one a line in UTF-8\n"
                          "      --records         show the records of the games played\n"
                          "      --export-records  write the records as CSV to standard output\n"
                          "  -h, --help            print this help and exit\n"
                          "      --version         print the version and exit\n"
                          "\n"
                          "Qt's own options work too, for example -platform wayland or -style "
                          "Fusion.\n"
                          "See lumivex(6) for how to play.\n";

// The options Qt documents for QGuiApplication and QApplication, and those its X11 platform
// takes. Qt reads a leading "--" as "-". Anything else would only be refused once the
// application object exists, which is after a missing display has been blamed instead.
enum class Takes { nothing, value, valueOrJoined }; // joined: -style=Fusion
struct QtOption {
    const char* name;
    Takes takes;
};
constexpr QtOption qtOptions[] = {
    {"platform", Takes::value},
    {"platformpluginpath", Takes::value},
    {"platformtheme", Takes::value},
    {"plugin", Takes::value},
    {"qwindowgeometry", Takes::value},
    {"qwindowicon", Takes::value},
    {"qwindowtitle", Takes::value},
    {"session", Takes::value},
    {"reverse", Takes::nothing},
    {"qmljsdebugger", Takes::valueOrJoined},
    {"style", Takes::valueOrJoined},
    {"stylesheet", Takes::valueOrJoined},
    {"widgetcount", Takes::nothing},
    // Taken only on X11, where a session may still pass them to every program it starts.
    {"display", Takes::value},
    {"geometry", Takes::value},
    {"title", Takes::value},
    {"icon", Takes::value},
    {"name", Takes::value},
    {"visual", Takes::value},
    {"nograb", Takes::nothing},
    {"dograb", Takes::nothing},
};

// The Qt option `arg` is, its value joined to it or not; null when it is none.
const QtOption* qtOption(QByteArray arg, bool& joined) {
    if (!arg.startsWith('-'))
        return nullptr;
    arg.remove(0, arg.startsWith("--") ? 2 : 1);
    const qsizetype equals = arg.indexOf('=');
    joined = equals >= 0;
    const QByteArray name = joined ? arg.left(equals) : arg;
    for (const QtOption& option : qtOptions) {
        if (name == option.name && (!joined || option.takes == Takes::valueOrJoined))
            return &option;
    }
    return nullptr;
}

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

// Why the compositor cannot be reached; empty when it can. A socket file outlives a
// compositor that crashed, so only a connection tells. It is not kept: Qt makes its own.
QString unreachableWayland() {
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return {}; // a connection handed down by whoever started the program
    const QString socket = waylandSocket();
    if (socket.isEmpty())
        return QStringLiteral("no Wayland display (WAYLAND_DISPLAY and XDG_RUNTIME_DIR are not "
                              "set)");
    const QByteArray path = QFile::encodeName(socket);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    int error = ENAMETOOLONG;
    if (std::size_t(path.size()) < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        // Non-blocking: a compositor too busy to take the connection at once is still there.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return {}; // no fault of the display's: let Qt try
        const bool reached =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
            errno == EAGAIN || errno == EINPROGRESS;
        error = errno;
        ::close(fd);
        if (reached)
            return {};
    }
    if (error == ENOENT)
        return QStringLiteral("no Wayland display at %1 (WAYLAND_DISPLAY)").arg(socket);
    return QStringLiteral("the Wayland display %1 (WAYLAND_DISPLAY) cannot be reached (%2)")
        .arg(socket, QString::fromLocal8Bit(std::strerror(error)).toLower());
}

// Why the X server cannot be reached; empty when it can. `option` is -display's value, which
// Qt prefers to DISPLAY. The connection honours XAUTHORITY as Qt's does.
QString unreachableX11(const QByteArray& option) {
    const QByteArray name = option.isEmpty() ? qgetenv("DISPLAY") : option;
    if (name.isEmpty())
        return QStringLiteral("DISPLAY is not set (X11)");
    // A connection that works is kept until the program ends: were it the server's only
    // client, closing it would reset the server just as Qt connects, and Qt would abort.
    static struct Held {
        ~Held() { xcb_disconnect(connection); }
        xcb_connection_t* connection = nullptr;
    } held;
    xcb_disconnect(held.connection);
    held.connection = xcb_connect(name.constData(), nullptr);
    const int error = xcb_connection_has_error(held.connection);
    if (!error)
        return {};
    const QString how = error == XCB_CONN_CLOSED_PARSE_ERR ? QStringLiteral("is not a display name")
                        : error == XCB_CONN_CLOSED_INVALID_SCREEN
                            ? QStringLiteral("has no such screen")
                            : QStringLiteral("cannot be reached");
    return QStringLiteral("the X11 display %1 (%2) %3")
        .arg(QString::fromLocal8Bit(name),
             option.isEmpty() ? QStringLiteral("DISPLAY") : QStringLiteral("-display"), how);
}

// Why none of the platforms asked for can open a window; empty when one can, or when the
// platform needs no display (offscreen, a framebuffer ...). Without a choice, Qt takes Wayland
// or X11, whichever the session has.
QString missingDisplay(const QString& platforms, const QByteArray& x11Display) {
    QStringList missing;
    const QStringList asked = platforms.isEmpty()
                                  ? QStringList{QStringLiteral("xcb"), QStringLiteral("wayland")}
                                  : platforms.split(QLatin1Char(';'));
    for (const QString& platform : asked) {
        const QString name = platform.section(QLatin1Char(':'), 0, 0);
        QString why;
        if (name == u"xcb")
            why = unreachableX11(x11Display);
        else if (name.startsWith(u"wayland"))
            why = unreachableWayland();
        if (why.isEmpty())
            return {};
        missing << why;
    }
    missing.removeDuplicates();
    return missing.join(QStringLiteral(", and "));
}

// A --words FILE given where the installed launcher was started, which starts the program
// beside its icon.
QString wordsPath(const QString& asked) {
    const QString startedIn = qEnvironmentVariable("LUMIVEX_STARTED_IN");
    return QDir::isAbsolutePath(asked) || startedIn.isEmpty() ? asked
                                                              : QDir(startedIn).filePath(asked);
}

// What a bad --words FILE says, its words' widths left aside, and its status; empty when none.
std::optional<int> refuseWords(const QString& asked) {
    try {
        words::read(wordsPath(asked), [](const QString&) { return std::nullopt; });
        return std::nullopt;
    } catch (const words::BadWordList& bad) {
        return say(stderr, QStringLiteral("lumivex: %1\n").arg(bad.message())), 2;
    }
}

} // namespace

std::optional<int> answerBeforeStart(int argc, char** argv) {
    QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    QByteArray x11Display;
    QString unknown;
    QString wordsFile;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help")
            return say(stdout, QString::fromUtf8(usage)), 0;
        if (arg == "--version")
            return say(stdout, QStringLiteral("lumivex %1\n").arg(QStringLiteral(LUMIVEX_VERSION))),
                   0;
        if (arg == "--export-records") {
            // Needs no display: a teacher's script may run it anywhere.
            QCoreApplication core(argc, argv);
            return records::exportCsv(stdout, stderr);
        }
        if (arg == "--records" || arg == "-records")
            continue;
        if (arg.startsWith("--words=") || arg.startsWith("-words=")) {
            wordsFile = QString::fromLocal8Bit(arg).section(u'=', 1);
            continue;
        }
        if (arg == "--words" || arg == "-words") {
            if (++i < argc)
                wordsFile = QString::fromLocal8Bit(argv[i]);
            else if (unknown.isEmpty())
                unknown = QStringLiteral("'%1' needs a value").arg(QString::fromLocal8Bit(arg));
            continue;
        }
        bool joined = false;
        const QtOption* option = qtOption(arg, joined);
        if (!option) {
            if (unknown.isEmpty())
                unknown = QStringLiteral("Unknown argument '%1'").arg(QString::fromLocal8Bit(arg));
            continue;
        }
        if (option->takes == Takes::nothing || joined)
            continue;
        if (++i == argc) {
            if (unknown.isEmpty())
                unknown = QStringLiteral("'%1' needs a value").arg(QString::fromLocal8Bit(arg));
            break;
        }
        if (std::strcmp(option->name, "platform") == 0)
            platforms = QString::fromLocal8Bit(argv[i]);
        else if (std::strcmp(option->name, "display") == 0)
            x11Display = argv[i];
    }
    if (!unknown.isEmpty())
        return refuse(unknown);
    if (const QString missing = missingDisplay(platforms, x11Display); !missing.isEmpty()) {
        // The list is read once a window can open; without one, a bad list is still said as
        // such, all but its words' widths, which need the fonts.
        if (!wordsFile.isEmpty())
            if (const auto refused = refuseWords(wordsFile))
                return refused;
        say(stderr, QStringLiteral("lumivex: Cannot open a window: %1.\n").arg(missing));
        return 1;
    }
    return std::nullopt;
}

std::optional<int> readCommandLine(CommandLine& asked) {
    const QStringList left = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < left.size(); ++i) {
        const QString& arg = left[i];
        const qsizetype dashes = arg.startsWith(u"--") ? 2 : 1;
        if (arg.mid(dashes).startsWith(u"words=")) {
            asked.wordsFile = arg.section(u'=', 1);
        } else if (arg.mid(dashes) == u"words" && i + 1 < left.size()) {
            asked.wordsFile = left[++i];
        } else if (arg.mid(dashes) == u"records") {
            asked.records = true;
        } else {
            return refuse(QStringLiteral("Unknown argument '%1'").arg(arg));
        }
    }
    return std::nullopt;
}

std::optional<int> startWords(game::frmlumi& game, ui::WordListFiles& files,
                              const QString& commandLine) {
    const QString path = commandLine.isEmpty() ? files.remembered() : wordsPath(commandLine);
    if (path.isEmpty())
        return std::nullopt;
    try {
        game.useWords(words::read(path, game::frmlumi::fieldFit()));
    } catch (const words::BadWordList& bad) {
        if (!commandLine.isEmpty())
            return say(stderr, QStringLiteral("lumivex: %1\n").arg(bad.message())), 2;
        // Said once: the list is forgotten, as it is when the player goes back to these words.
        files.remember({});
        say(stderr, QStringLiteral("lumivex: the word list of the last run cannot be played, so "
                                   "the built-in words play: %1\n")
                        .arg(bad.message()));
    }
    return std::nullopt;
}

} // namespace app
