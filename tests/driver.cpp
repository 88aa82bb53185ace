// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program with its whole stack, real timers and Qt's own message boxes, played by a script
// as a player would play it, for the tests that need a process of its own:
//   driver exit|close-game|close-intro  as main() starts it, ended three ways, after printing
//                                       the look it gave itself
//   driver overflow                     a game whose next tick leaves the 16-bit range
//   driver ime STATUS_FILE              a game where 컴퓨터 never falls, told every 50 ms
#include "app/lumivex.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QSaveFile>
#include <QStyle>
#include <QTest>
#include <QTimer>

namespace {

QWidget* named(const QString& name) {
    const QWidgetList all = QApplication::allWidgets();
    return *std::find_if(all.begin(), all.end(),
                         [&](QWidget* w) { return w->objectName() == name; });
}

// On the left, where a radio button takes the click too.
void click(const QString& name) {
    QTest::mouseClick(named(name), Qt::LeftButton, {}, QPoint(6, named(name)->height() / 2));
}

// Every 250 ms, one step of the script.
int endedBy(app::Lumivex& lumivex, const QString& how) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&, n = 0]() mutable {
        if (n == 0)
            std::printf("style %s\nfont %s\nbutton %s\ndesktop %s class %s\nframes inline %s\n",
                        qPrintable(QApplication::style()->name()),
                        qPrintable(QApplication::font().family()),
                        qPrintable(QFontInfo(named("cmdservice")->font()).family()),
                        qPrintable(QGuiApplication::desktopFileName()),
                        qPrintable(QCoreApplication::applicationName()),
                        qgetenv("QT_XCB_NO_MITSHM").constData());
        if (n++ < 2 && how != u"close-intro")
            return click(n == 1 ? "cmdservice" : "cmdstart");
        timer.stop();
        how == u"exit" ? click("cmdexit")
                       : void(named(how == u"close-game" ? "frmlumi" : "frmservices")->close());
    });
    timer.start(250);
    return lumivex.run();
}

// Both windows with Qt's message boxes and the real end, but chance and time in the script's
// hands: every draw picks 컴퓨터, entry 1 of the Korean bank, and time moves only when told.
int scripted(const QString& mode, const QString& path) {
    app::applyLook();
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    random.repeatWhenEmpty(0.025f);
    ui::QtMessageBoxes messages;
    ui::QtAnnouncer announcer;
    ui::QtProgram program;
    ui::Services services{clock, random, messages, program, announcer};
    app::Windows windows(services);
    windows.open();
    game::frmlumi& game = windows.frmlumi;
    if (mode == u"overflow") { // the error must end the process at once, in the middle of a step
        click("cmdservice"), click("cmdstart");
        game.SpeedChr = 32767;
        clock.advance(50);
        return 3;
    }
    QTimer::singleShot(0, [] { click("cmdservice"), click("cmdstart"); });
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) &&
            file.write(QStringLiteral("focus %1\nword0 %2\nscore %3\nbox [%4]\n")
                           .arg(QApplication::focusWidget()
                                    ? QApplication::focusWidget()->objectName()
                                    : "",
                                game.lbllumi(0).Caption(), game.lblscore->Caption(),
                                game.txtlumi->lineEdit()->text())
                           .toUtf8()) > 0)
            file.commit();
    });
    status.start(50);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"overflow" || (mode == u"ime" && argc == 3)) {
        QApplication application(argc, argv);
        return scripted(mode, QString::fromLocal8Bit(argv[argc - 1]));
    }
    if (!QStringList{"exit", "close-game", "close-intro"}.contains(mode)) {
        std::fprintf(stderr,
                     "usage: driver exit|close-game|close-intro|overflow|ime STATUS_FILE\n");
        return 2;
    }
    int programOnly = 1; // the mode is the driver's, not the program's
    app::Lumivex lumivex(programOnly, argv);
    return endedBy(lumivex, mode);
}
