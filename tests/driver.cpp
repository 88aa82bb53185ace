// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program with its whole stack, real timers and Qt's own message boxes, played by a script
// as a player would play it, for the tests that need a process of its own:
//   driver exit|close-game|close-intro  as main() starts it, ended three ways, after printing
//                                       the look it gave itself
//   driver overflow                     a game whose next tick leaves the 16-bit range
//   driver ime STATUS_FILE              a game where 컴퓨터 never falls, told every 50 ms
//   driver heard                        what a screen reader is told of a Start, two misses at once
#include "app/lumivex.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLineEdit>
#include <QSaveFile>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

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

// What a screen reader is told of the labels, as "kind name [text]".
QStringList told;
void record(QAccessibleEvent* event) {
    using enum QAccessible::Event;
    static const QHash<QAccessible::Event, QString> kinds{
        {ObjectShow, "show"}, {ObjectHide, "hide"}, {TextUpdated, "text"}, {NameChanged, "name"}};
    QAccessibleInterface* label = event->accessibleInterface();
    if (kinds.contains(event->type()) && label && label->role() == QAccessible::StaticText)
        told << kinds[event->type()] + u' ' + label->text(QAccessible::Name) +
                    (event->type() == QAccessible::TextUpdated
                         ? u' ' + label->text(QAccessible::Value)
                         : QString());
}

int heard(app::Windows& windows, ui::ManualClock& clock, ui::ScriptedRandom& random) {
    game::frmlumi& game = windows.frmlumi;
    click("cmdservice");
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000))
        return 77; // skipped: no accessibility bridge came up with the session's bus
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(game.widget());
    for (int i = 0; i < window->childCount(); ++i) // read once, as a screen reader does
        window->child(i)->text(QAccessible::Name);
    QAccessible::installUpdateHandler(record);
    click("cmdstart");
    QStringList expected = QStringList(6, u"show 컴퓨터"_s) << u"text Lives 10"_s;
    game.lbllumi(0).setTop(4790), game.lbllumi(2).setTop(4790);
    QApplication::processEvents(); // what changed outside a step settles on the next turn
    random.push({0.3f, 0.5f, 0, 0.3f, 0.5f, 0, 0, 0}); // both fall 10 twips, 도구상자 dealt
    clock.advance(50);
    expected << u"show Poor~"_s << u"text Lives 8"_s << QStringList(2, u"name 도구상자"_s);
    clock.advance(1000);
    expected << u"hide Poor~"_s;
    std::sort(told.begin(), told.end()), std::sort(expected.begin(), expected.end());
    return std::printf("%s\n", qPrintable(told.join(u", "))) < 0 || told != expected;
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
    if (mode == u"heard")
        return heard(windows, clock, random);
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
    if (mode == u"overflow" || mode == u"heard" || (mode == u"ime" && argc == 3)) {
        QApplication application(argc, argv);
        return scripted(mode, QString::fromLocal8Bit(argv[argc - 1]));
    }
    if (!QStringList{"exit", "close-game", "close-intro"}.contains(mode)) {
        std::fprintf(stderr,
                     "usage: driver exit|close-game|close-intro|overflow|heard|ime STATUS_FILE\n");
        return 2;
    }
    int programOnly = 1; // the mode is the driver's, not the program's
    app::Lumivex lumivex(programOnly, argv);
    return endedBy(lumivex, mode);
}
