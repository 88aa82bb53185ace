// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program with its whole stack, real timers and Qt's own message boxes, played by a script
// as a player would play it, for the tests that need a process of its own:
//   driver exit|close-game|close-intro  as main() starts it, ended three ways, after printing
//                                       the look it gave itself
//   driver overflow                     a game whose next tick leaves the 16-bit range
//   driver ime STATUS_FILE              a game where 컴퓨터 never falls, told every 50 ms
//   driver heard                        what the accessibility bridge is handed of a game
//   driver by-ear                       as the program plays, but each word typed right is
//                                       dealt again in its place
#include "app/lumivex.h"
#include "records/keeper.h"

#include <QAccessible>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSaveFile>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QWidget* named(const QString& name) {
    const QWidgetList all = QApplication::allWidgets();
    return *std::ranges::find(all, name, &QObject::objectName);
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

// What the program hands the accessibility bridge: the labels' events as "kind name [text]"
// (they come in no set order within a step), and, in order, each step's news (an announcement
// from Qt 6.8 on, a notification shown and hidden before) and each message box.
QStringList told, news;
int newsHidden = 0;
void record(QAccessibleEvent* event) {
    using enum QAccessible::Event;
    using enum QAccessible::Text;
    static const QHash<QAccessible::Event, QString> kinds{
        {ObjectShow, "show"}, {ObjectHide, "hide"}, {TextUpdated, "text"}, {NameChanged, "name"}};
    const QAccessible::Event type = event->type(); // one being destroyed is half gone
    QAccessibleInterface* of = type == ObjectDestroyed ? nullptr : event->accessibleInterface();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (type == Announcement)
        news << static_cast<QAccessibleAnnouncementEvent*>(event)->message();
#endif
    if (!of)
        return;
    if (of->role() == QAccessible::Notification && type == ObjectShow)
        news << of->text(Name);
    newsHidden += of->role() == QAccessible::Notification && type == ObjectHide;
    if (type == Alert)
        news << u"box "_s + of->text(Name) + u": "_s + of->text(Description);
    if (kinds.contains(type) && of->role() == QAccessible::StaticText)
        told << kinds[type] + u' ' + of->text(Name) +
                    (type == TextUpdated ? u' ' + of->text(Value) : QString());
}

// A Start, a hit, a miss, two misses in one tick and a Game Over, with the bridge of the
// session's accessibility bus up, as a screen reader would have it.
int heard(game::frmlumi& game, ui::ManualClock& clock, ui::ScriptedRandom& random) {
    click("cmdservice");
    // A sanitizer build on a loaded machine takes its time to reach the bus.
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 120'000))
        return std::puts("SKIP: no accessibility bridge came up with the session's bus"), 77;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(game.widget());
    for (int i = 0; i < window->childCount(); ++i) // read once, as a screen reader does
        window->child(i)->text(QAccessible::Name);
    QAccessible::installUpdateHandler(record);
    const QString dealt = game.WordBank[25], typed = game.WordBank[1]; // 도구상자, 컴퓨터
    // Words put just above the floor fall 10 twips in the next tick, and 도구상자 takes their
    // places; what changed outside a step settles on the next turn.
    const auto miss = [&](const QList<int>& words) {
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            words.contains(i) ? (game.lbllumi(i).setTop(4790), random.push({0.3f, 0.5f}))
                              : random.push(0);
        QApplication::processEvents();
        clock.advance(50);
    };
    click("cmdstart");
    QStringList said{QStringList(6, typed).join(u", ") + u", Lives 10"_s};
    QInputMethodEvent composed; // as an input method delivers Hangul
    composed.setCommitString(typed);
    QCoreApplication::sendEvent(game.txtlumi->lineEdit(), &composed);
    random.push(0.5f);
    QTest::keyClick(game.txtlumi->lineEdit(), Qt::Key_Return);
    clock.advance(1000);
    said << u"Score 1, Cool~!, Combo 1, Combo!, "_s + dealt;
    miss({1});
    clock.advance(1000); // the sign's end ends the combo too
    // A miss names the word that fell before the one dealt in its place.
    const auto fell = [&](const QString& word) { return word + u" fell, "_s + dealt; };
    said << u"%1 fell, Poor~, Lives 9, %2"_s.arg(typed, dealt);
    miss({2, 4});
    clock.advance(1000);
    said << u"%1 fell, Poor~, Lives 7, %2, %3"_s.arg(typed, dealt, fell(typed));
    // The labels' events of the start, the hit, the miss and the two misses, in no set order.
    QStringList expected = QStringList(6, u"show "_s + typed) + QStringList(4, u"name "_s + dealt);
    expected << u"text Lives 10|show Cool~!|show Combo!|show Combo|text Combo 1|text Score 1|"
                "hide Cool~!|show Poor~|text Lives 9|hide Poor~|hide Combo!|hide Combo|"
                "show Poor~|text Lives 7|hide Poor~"_s.split(u'|');
    std::sort(told.begin(), told.end()), std::sort(expected.begin(), expected.end());
    const bool labels = told == expected;

    // Seven words miss in two ticks; the last life goes with the box, which Enter closes.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Enter);
    });
    closer.start(20);
    miss({0, 1, 2, 3, 4, 5});
    miss({0});
    // A word dealt again is told as any other. News within a second of the last is told as
    // one sentence, at the latest before a box.
    said << u"%1 fell, Poor~, Lives 1, %1, %2. Lives 0"_s.arg(
                dealt,
                QStringList{fell(dealt), fell(dealt), fell(typed), fell(dealt), fell(typed)}.join(
                    u", "))
         << u"box Game Over!: 관중들 : 우우우우~~"_s;
    // Before 6.8, each notification but the last hides as the next shows; the box is none.
    const bool hidden = QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) || newsHidden == said.size() - 2;
    const bool right = labels && news == said && hidden;
    right || std::printf("labels %s\nnews %s (hidden %d times)\n", qPrintable(told.join(u", ")),
                         qPrintable(news.join(u" | ")), newsHidden);
    return !right;
}

// The program's chance, but a draw while the entry holds a word on the field (the deal in
// the step that the word's Enter ends) deals that word again.
struct DealtAgain final : ui::RandomSource {
    void seedFromClock() override { chance.seedFromClock(); }
    float next() override {
        const QString typed = game->txtlumi->Text().trimmed();
        const auto& bank = game->WordBank;
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            if (game->lbllumi(i).Caption() == typed && std::ranges::count(bank, typed))
                return (std::ranges::find(bank, typed) - bank.begin() + 0.5f) / bank.size();
        return chance.next();
    }
    ui::SystemRandom chance;
    const game::frmlumi* game = nullptr;
};

// Both windows with Qt's message boxes and the real end, but chance and time in the script's
// hands: every draw picks 컴퓨터, entry 1 of the Korean bank, and time moves only when told.
// By ear, the real clock and the program's chance, but for the words dealt again.
int scripted(const QString& mode, const QString& path) {
    app::applyLook();
    QCoreApplication::setApplicationName(u"lumivex"_s); // as a screen reader lists it
    const bool byEar = mode == u"by-ear";
    ui::ManualClock clock;
    ui::RealClock realClock;
    ui::ScriptedRandom random;
    random.repeatWhenEmpty(0.025f);
    DealtAgain chance;
    ui::QtMessageBoxes messages;
    ui::QtAnnouncer announcer;
    ui::QtProgram program;
    ui::ScriptedWordListFiles files;
    records::Keeper kept;
    ui::Clock& time = byEar ? static_cast<ui::Clock&>(realClock) : clock;
    ui::RandomSource& draws = byEar ? static_cast<ui::RandomSource&>(chance) : random;
    ui::Services services{time, draws, messages, program, announcer, files, kept};
    app::Windows windows(services);
    game::frmlumi& game = windows.frmlumi;
    chance.game = &game;
    windows.open();
    if (byEar)
        return QApplication::exec();
    if (mode == u"heard")
        return heard(game, clock, random);
    if (mode == u"overflow") { // the error must end the process at once, in the middle of a step
        click("cmdservice"), click("cmdstart");
        game.SpeedChr = 32767;
        return clock.advance(50), 3;
    }
    QTimer::singleShot(0, [] { click("cmdservice"), click("cmdstart"); });
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        const QWidget* focus = QApplication::focusWidget();
        const QString text = u"focus %1\nword0 %2\nscore %3\nbox [%4]\n"_s.arg(
            focus ? focus->objectName() : QString(), game.lbllumi(0).Caption(),
            game.lblscore->Caption(), game.txtlumi->lineEdit()->text());
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0)
            file.commit();
    });
    status.start(50);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (QStringList{"overflow", "heard", "by-ear"}.contains(mode) ||
        (mode == u"ime" && argc == 3)) {
        QApplication application(argc, argv);
        return scripted(mode, QString::fromLocal8Bit(argv[argc - 1]));
    }
    if (mode == u"keep" && argc == 3) { // games kept one by one, each said once it is kept
        QCoreApplication core(argc, argv);
        records::Store store(records::Store::defaultPath());
        store.openForKeeping();
        records::Record game;
        game.entered = 1, game.when = QDateTime::currentDateTimeUtc();
        for (int n = 1; n <= std::atoi(argv[2]); ++n) {
            game.score = n;
            if (!store.add(game))
                return std::fprintf(stderr, "%s\n", qPrintable(store.problem())), 1;
            std::printf("%d\n", n), std::fflush(stdout);
        }
        return 0;
    }
    if (!QStringList{"exit", "close-game", "close-intro"}.contains(mode)) {
        std::fprintf(stderr, "usage: driver exit|close-game|close-intro|overflow|heard|by-ear|ime "
                             "STATUS_FILE|keep N\n");
        return 2;
    }
    int programOnly = 1; // the mode is the driver's, not the program's
    app::Lumivex lumivex(programOnly, argv);
    return endedBy(lumivex, mode);
}
