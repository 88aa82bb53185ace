// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real program as a process: how it ends, the look it gives itself, and what it says when
// it cannot start.

#include "support/rig.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Runs `program` in `folder`, with a runtime folder of its own (Qt warns without) and no display
// but what `line` names: "NAME=VALUE... PLATFORM ARGUMENT...".
void run(QProcess& process, const QString& program, const QString& line,
         const QString& folder = QDir::currentPath()) {
    QTemporaryDir runtime;
    QStringList words = line.split(u' ');
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s), environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    environment.insert(u"QT_STYLE_OVERRIDE"_s, u"windows"_s); // as a desktop asks for its own
    for (; words[0].contains(u'='); words.removeFirst())
        environment.insert(words[0].section(u'=', 0, 0), words[0].section(u'=', 1));
    environment.insert(u"QT_QPA_PLATFORM"_s, words.takeFirst());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, words);
    const bool ended = process.waitForFinished(20'000);
    if (!ended)
        process.kill(), process.waitForFinished();
    QVERIFY2(
        ended && process.exitStatus() == QProcess::NormalExit,
        qPrintable(program + (ended ? u" crashed"_s : u" did not end by itself within 20 s"_s)));
}

} // namespace

class Program : public QObject {
    Q_OBJECT
private slots:
    // The driver: Exit and the close boxes end it with status 0, once it has applied its look
    // (Fusion, the faces standing in for the layout's, frames sent inline); an error, at once,
    // mid-step. The program, before any window: help, version, an unknown argument, a word list
    // that cannot be played, an unreachable display.
    void programShouldEndAsItIsEndedOrAnswerBeforeAnyWindow_data() {
        QTest::addColumn<QString>("line"); // [driver] NAME=VALUE..., the platform, arguments
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // all it says, or how its one line begins
        const auto row = [](const QString& line, int status, const QString& said) {
            QTest::newRow(qPrintable(line)) << line << status << said;
        };
        const QString look = u"style fusion\nfont NanumGothic\nbutton NanumGothic\n"
                             "desktop org.lumivex.Lumivex class lumivex\nframes inline 1\n"_s;
        for (const QString& how : {u"exit"_s, u"close-game"_s, u"close-intro"_s})
            row(u"driver offscreen "_s + how, 0, look);
        row(u"driver offscreen exit, the last run's list gone"_s, 0,
            look + u"lumivex: the word list of the last run cannot be played, so the built-in "
                   "words play: /nowhere/week3.txt: the file does not exist\n"_s);
        row(u"driver offscreen overflow"_s, 1,
            u"lumivex: Overflow: 32767 + 30 leaves the 16-bit range\n"_s);
        const QString usage = u"Usage: lumivex"_s, version = u"lumivex " LUMIVEX_VERSION "\n"_s;
        const QString cannot = u"lumivex: Cannot open a window: "_s;
        const QString noX11 = cannot + u"DISPLAY is not set (X11).\n"_s;
        const QString x11 = cannot + u"the X11 display :64999 (%1) cannot be reached.\n"_s;
        row(u"xcb --help"_s, 0, usage);
        row(u"xcb -h"_s, 0, usage);
        row(u"xcb --version"_s, 0, version);
        row(u"xcb"_s, 1, noX11);
        row(u"wayland"_s, 1, cannot + u"no Wayland display at "_s);
        row(u"offscreen -platform xcb"_s, 1, noX11);
        row(u"offscreen --platform xcb"_s, 1, noX11);
        row(u"xcb --platform offscreen --version"_s, 0, version);
        row(u"xcb -style Fusion --bogus"_s, 2, u"lumivex: Unknown argument '--bogus';"_s);
        row(u"xcb -reverse -style"_s, 2, u"lumivex: '-style' needs a value;"_s);
        row(u"xcb -reverse --words"_s, 2, u"lumivex: '--words' needs a value;"_s);
        for (const QString& asked : {u"offscreen --words "_s, u"xcb -words="_s}) // xcb: no display
            row(asked + u"share/none.txt"_s, 2,
                u"lumivex: share/none.txt: the file does not exist\n"_s);
        row(u"DISPLAY=:64999 xcb"_s, 1, x11.arg(u"DISPLAY"_s)); // no X server takes :64999
        row(u"DISPLAY=:0 xcb --display :64999"_s, 1, x11.arg(u"-display"_s));
        row(u"WAYLAND_DISPLAY=/dev/null wayland;xcb"_s, 1, // a path that is there, and no socket
            cannot + u"the Wayland display /dev/null (WAYLAND_DISPLAY) cannot be reached "
                     "(connection refused), and DISPLAY is not set (X11).\n"_s);
    }

    void programShouldEndAsItIsEndedOrAnswerBeforeAnyWindow() {
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir config; // what the program remembers
        QSettings memory(config.filePath(u"lumivex/lumivex.conf"_s), QSettings::IniFormat);
        if (line.endsWith(u"gone"_s))
            memory.setValue(u"words/list"_s, u"/nowhere/week3.txt"_s), memory.sync();
        const bool driven = line.startsWith(u"driver "_s);
        QProcess process;
        run(process, driven ? QStringLiteral(LUMIVEX_DRIVER) : QStringLiteral(LUMIVEX_EXECUTABLE),
            u"XDG_CONFIG_HOME="_s + config.path() + u' ' +
                line.mid(driven ? 7 : 0).section(u',', 0, 0));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput() +
                                                   process.readAllStandardError());
        QVERIFY2(process.exitCode() == status && out.startsWith(said) &&
                     (said.endsWith(u'\n') ? out == said : !status || out.count(u'\n') == 1),
                 qPrintable(out));
        memory.sync(); // a list gone is forgotten, so said once
        QVERIFY(!memory.contains(u"words/list"_s));
    }

    void badIconShouldEndTheStartWithOneLineNamingFileAndCause_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("cause");
        QFile icon(u"NoviIcon.ico"_s);
        const QByteArray good = icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
        QByteArray png;
        QBuffer buffer(&png);
        QImage(16, 16, QImage::Format_ARGB32).save(&buffer, "PNG");
        const QString cut =
            u"the icon is cut short (the file has %1 bytes, its header promises %2)"_s;
        const auto row = [](const char* what, const QByteArray& bytes, const QString& cause) {
            QTest::newRow(what) << bytes << cause;
        };
        row("missing", "missing", u"the file does not exist"_s);
        row("empty", "", u"the file is empty"_s);
        row("cut short", good.left(100), cut.arg(100).arg(1182));
        row("a header alone", good.left(6), cut.arg(6).arg(54));
        row("cut at the end of its directory", good.left(54), cut.arg(54).arg(1182));
        row("a cursor cut short", good.left(100).replace(2, 1, "\2"), cut.arg(100).arg(1182));
        row("no images listed", QByteArray("\0\0\1\0\0\0", 6), u"it is not an icon image"_s);
        row("bytes from inside an image", good.mid(300), u"it is not an icon image"_s);
        row("PNG renamed", png, u"it is a PNG image, not an icon"_s);
        row("100 MiB", "sparse", u"the file is too large to be an icon (104857600 bytes)"_s);
        row("folder", "folder", u"it is a folder, not a file"_s);
        row("dangling link", "dangling", u"it is a link to a file that does not exist"_s);
        row("link loop", "loop", u"it is a link that leads round a loop of links"_s);
        row("named pipe", "pipe", u"it is a named pipe, not a file"_s);
    }

    void badIconShouldEndTheStartWithOneLineNamingFileAndCause() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, cause);
        QTemporaryDir folder;
        QVERIFY(place(QDir(folder.path()), u"NoviIcon.ico"_s, bytes).second);
        const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::System);
        QProcess lumivex;
        run(lumivex, QStringLiteral(LUMIVEX_EXECUTABLE), u"offscreen"_s, folder.path());
        QCOMPARE(lumivex.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(lumivex.readAllStandardError()),
                 u"lumivex: Cannot load \"NoviIcon.ico\" from the folder \"%1\": %2\n"_s.arg(
                     QDir(folder.path()).canonicalPath(), cause));
        QCOMPARE(lumivex.readAllStandardOutput(), QByteArray());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System), before);
    }
};

QTEST_MAIN(Program)
#include "tst_program.moc"
