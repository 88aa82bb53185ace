// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Both windows played as a player plays them: clicks, keys and compositions into its widgets,
// time on a manual clock, every random draw scripted, the screen and a screen reader read.
#include "support/rig.h"

#include "ui/services/numbers.h"

#include <QAccessible>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace {

using Box = ui::RecordingMessageBoxes::Shown;
const auto pick = [](int index, int of = 50) { return Rig::pick(index, of); };

QString markersShown(const game::frmlumi& w) {
    const QImage screen = Rig::screen(w);
    QString shown;
    for (int j = 0; j < game::frmlumi::kMarkers; ++j)
        if (screen.pixelColor(w.Shplumi(j).pixelRect().center()) == w.Shplumi(j).BackColor())
            shown += QString::number(j);
    return shown;
}

// Pixels of `rect` on the window's screen that are of `color`; ink is what is not the field's grey.
int pixelsOf(const ui::Form& form, const QRect& rect, const QColor& color) {
    const QImage screen = Rig::screen(form).copy(rect);
    int count = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            count += screen.pixelColor(x, y) == color;
    return count;
}
int inkIn(const game::frmlumi& w, const QRect& rect) {
    return rect.width() * rect.height() - pixelsOf(w, rect, w.BackColor());
}

// The signs stay `ms` milliseconds more, and not one more.
void stay(Rig& r, int ms, std::initializer_list<const ui::Label*> signs) {
    r.clock.advance(ms - 1);
    QVERIFY(std::ranges::all_of(signs, &ui::Label::Visible));
    r.clock.advance(1);
    QVERIFY(std::ranges::none_of(signs, &ui::Label::Visible));
}

// Reads a window's tree as it gains a child or hides, as Qt may while building or destroying it.
struct EagerReader : QObject {
    EagerReader() { qApp->installEventFilter(this); }
    static void read(QAccessibleInterface* at) {
        for (int i = 0; at && at->isValid() && i < at->childCount(); ++i)
            read(at->child(i)), static_cast<void>(at->child(i)->text(QAccessible::Name));
    }
    bool eventFilter(QObject* on, QEvent* event) override {
        const bool told = event->type() == QEvent::ChildAdded || event->type() == QEvent::Hide;
        if (told && on->isWidgetType() && static_cast<QWidget*>(on)->isWindow())
            read(QAccessible::queryAccessibleInterface(on));
        return false;
    }
};

// Word-list files as players write them, as they break, and as chance mangles them.
QString write(const QTemporaryDir& folder, const QByteArray& bytes,
              const QString& name = u"list.txt"_s) {
    return place(QDir(folder.path()), name, bytes).first;
}

// "words: Korean words | English words", or what the reader says after the file's name.
QString readBack(const QString& path) {
    try {
        const words::WordList list = words::read(path, game::frmlumi::fieldFit());
        return u"words: "_s + list.korean.join(u' ') + u" | "_s + list.english.join(u' ');
    } catch (const words::BadWordList& bad) {
        return bad.message().startsWith(path + u": "_s) ? bad.message().mid(path.size() + 2)
                                                        : bad.message();
    }
}

} // namespace

class Game : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    // Start sets the speed to 40, Fast to 50 and Slow to 5, whatever scoring raised it to.
    void loadThenStartShouldDealHiddenWordsShowThemAtTheTopAndSetTheSpeed() {
        Rig r;
        game::frmlumi& w = r.open({pick(0), pick(1), pick(2), pick(3), pick(4), pick(5)});
        // The icon at every size the file holds: 16, 32 and 48 pixels.
        QVERIFY(r.random.timesSeeded() == 1 &&
                w.widget()->windowIcon().availableSizes().size() == 3);
        QVERIFY(w.optkorean->Value() && w.optslow->Value() && !w.optfast->Value());
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            QVERIFY(w.lbllumi(i).Caption() == w.WordBank[static_cast<std::size_t>(i)] &&
                    !w.lbllumi(i).Visible() && w.lbllumi(i).BackStyle() == (i == 0));
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled() && w.cmdstop->Enabled());
        QCOMPARE(QApplication::focusWidget(), w.txtlumi->lineEdit());
        // The two signs' timers, on from the layout, fire once and stop, changing nothing.
        const QImage loaded = Rig::screen(w);
        QVERIFY(w.Timer1->Enabled() && w.Timer3->Enabled());
        r.clock.advance(1000);
        QVERIFY(!w.Timer1->Enabled() && !w.Timer3->Enabled() && Rig::screen(w) == loaded);

        r.click(*w.cmdstart);
        QVERIFY(w.tmrlumi->Enabled() && !w.cmdstart->Enabled() && w.cmdstop->Enabled());
        QCOMPARE(QApplication::focusWidget(), w.txtlumi->lineEdit()); // back from the button
        r.tick({0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
        r.click(*w.cmdstop);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        r.clock.advance(200);
        QCOMPARE(w.lbllumi(0).Top(), 17.0f);
        // A new game resets the field, the lives and the score, but not the combo, the life
        // cursor or the typed text.
        w.ComboCount = 7, w.LifeCursor = 3;
        w.Shplumi(2).setBackStyle(0), w.lblscore->setCaption(u"12"_s);
        r.type(u"abc"_s), r.click(*w.optfast);
        QVERIFY(w.SpeedChr == 50 && w.optkorean->Value()); // the other frame is a group of its own
        r.click(*w.cmdstart);
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            QVERIFY(w.lbllumi(i).Visible() && w.lbllumi(i).Top() == 0);
        QVERIFY(markersShown(w) == u"0123456789"_s && w.lblbonus->Caption() == u"10"_s);
        QVERIFY(w.lblscore->Caption() == u"0"_s && w.SpeedChr == 40);
        QVERIFY(w.ComboCount == 7 && w.LifeCursor == 3 && r.entry() == u"abc"_s);
        r.tick({std::nextafter(1.0f, 0.0f), r.step(69), 0, 0, 0, 0}); // floor(70 r) below 70
        QVERIFY(w.lbllumi(0).Top() == 69 && w.lbllumi(1).Top() == 69);
        r.random.repeatWhenEmpty(0);
        r.click(*w.optslow);
        QCOMPARE(w.SpeedChr, 5);
        r.click(*w.optfast);
        QVERIFY(w.SpeedChr == 50 && w.tmrlumi->Enabled());
        w.SpeedChr = 60; // clicking the selected option changes nothing
        r.click(*w.optfast);
        QCOMPARE(w.SpeedChr, 60);
        r.click(*w.cmdstop), r.click(*w.optslow);
        w.SpeedChr = 15; // as raised by scoring
        r.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, 5);
    }

    void wholeGameShouldTakeMarkersFromTheCursorUntilGameOver() {
        Rig r;
        game::frmlumi& w = r.open();
        const auto fall = [&](std::array<int, 6> twips) {
            for (int n = 0; n < 141; ++n, r.clock.advance(50))
                for (const int t : twips)
                    r.random.push(r.step(t));
        };
        r.click(*w.cmdstart);
        fall({34, 34, 34, 0, 0, 0}); // heard once, at Start: falling is no news
        QCOMPARE(r.reader.news,
                 std::vector{QStringList(6, w.WordBank[0]).join(u", ") + u", Lives 10"_s});
        r.tick({r.step(6), pick(1), r.step(6), pick(2), r.step(6), pick(3), 0, 0, 0});
        QVERIFY(markersShown(w) == u"3456789"_s && w.lblbonus->Caption() == u"7"_s);
        QCOMPARE(r.reader.news.back(),
                 u"%1 fell, Poor~, Lives 7, %2, %1 fell, %3, %1 fell, %4"_s.arg(
                     w.WordBank[0], w.WordBank[1], w.WordBank[2], w.WordBank[3]));
        r.click(*w.cmdstop), r.click(*w.cmdstart);

        // The next game goes on from marker 3. Two words miss in one tick; 4799 is no miss.
        fall({34, 34, 34, 34, 34, 0});
        // Its six words told where they stand, once the misses' news has had its second.
        QCOMPARE(r.reader.news.size(), std::size_t{3});
        QCOMPARE(r.reader.news.back(),
                 u"%2, %3, %4, %1, %1, %1, Lives 10"_s.arg(w.WordBank[0], w.WordBank[1],
                                                           w.WordBank[2], w.WordBank[3]));
        r.tick({r.step(6), pick(10), r.step(5), r.step(34), pick(11), 0, 0, 0});
        QVERIFY(markersShown(w) == u"01256789"_s && w.lbllumi(0).Caption() == w.WordBank[10]);
        QVERIFY(w.lbllumi(1).Top() == 4799 && w.lbllumi(2).Top() == 0);
        // A word sent back to the top falls from there in the next tick.
        r.tick({r.step(3), r.step(1), pick(12), 0, r.step(6), pick(13), r.step(6), pick(14), 0});
        QVERIFY(w.lbllumi(0).Top() == 3 && markersShown(w) == u"01289"_s);

        fall({34, 34, 34, 34, 34, 34});
        r.tick({r.step(3), pick(15), r.step(6), pick(16), r.step(6), pick(17), r.step(6), pick(18),
                0, 0});
        QVERIFY(markersShown(w) == u"2"_s && w.lblbonus->Caption() == u"1"_s);

        // The last life goes at lbllumi(4): lbllumi(5) takes no draw and does not move, and
        // nothing falls while the box is open.
        r.boxes.whileOpen = [&](const Box& box) {
            QVERIFY(box.title == u"Game Over!"_s && box.prompt == u"관중들 : 우우우우~~"_s);
            QVERIFY(markersShown(w).isEmpty() && w.lblbonus->Caption() == u"0"_s);
            QCOMPARE(r.reader.news.back(), u"Lives 0"_s); // before the box
            r.clock.advance(5000);
        };
        r.tick({r.step(5), r.step(5), r.step(5), r.step(5), r.step(20)});
        QVERIFY(r.boxes.shown.size() == 1 && !w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QVERIFY(w.LifeCursor == 3 && w.lbllumi(4).Top() == 4814 && w.lbllumi(5).Top() == 4794);
        // The miss sign fell due while the box was open: it ends at its first period after.
        stay(r, 1000, {w.Poor});
        QVERIFY(!w.Timer1->Enabled() && w.lbllumi(5).Top() == 4794);
        // A level cleared by typing the words that stand still starts the tick again over the
        // word that ended the game: the game ends again, and the lives stay at 0.
        r.boxes.whileOpen = nullptr, w.ComboCount = 79;
        r.hit(), r.tick({0, 0, 0, 0, 0});
        QVERIFY(w.lblbonus->Caption() == u"0"_s && r.boxes.shown.size() == 3);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        // The word that went under for the last life is told where it stands, not as fallen.
        r.random.repeatWhenEmpty(0), r.click(*w.cmdstart), r.clock.advance(1000);
        QVERIFY(r.reader.news.back().endsWith(u"Lives 10, Score 0"_s) &&
                !r.reader.news.back().contains(u"fell"_s));
    }

    void typedWordShouldHitTheFirstLabelShowingItExactly() {
        Rig r;
        game::frmlumi& w = r.open();
        // software on labels 1 and 2, all six hidden since no game has started.
        r.random.push({pick(3), pick(2), pick(2), pick(1), pick(0), pick(18)});
        r.click(*w.optenglish);
        r.type(u"Software"_s), r.press(Qt::Key_Return);
        r.press(Qt::Key_Return); // an empty box
        QVERIFY(r.entry().isEmpty() && w.lblscore->Caption() == u"0"_s);
        // Typed, a Space would end the word; inserted, the spaces stay for Enter to trim.
        w.txtlumi->lineEdit()->insert(u"  software "_s);
        r.random.push(pick(9)), r.press(Qt::Key_Enter);
        QVERIFY(r.entry().isEmpty() && w.lblscore->Caption() == u"1"_s && w.CN->Visible());
        QVERIFY(w.lbllumi(1).Caption() == u"paradigm"_s && w.Good->Visible() &&
                pixelsOf(w, w.CT->pixelRect(), QColor(255, 255, 0)) > 0); // "Combo!" in yellow
        QCOMPARE(r.reader.news, std::vector{u"Score 1, Cool~!, Combo 1, Combo!"_s}); // no word
        r.type(u"software"_s), r.random.push(pick(4)), r.press(Qt::Key_Space);
        QVERIFY(r.entry() == u" "_s && w.lbllumi(2).Caption() == u"hong"_s);
        QVERIFY(w.CN->Caption() == u"2"_s && r.reader.news.size() == 1); // within its second
        // Tabs are part of what was typed.
        w.txtlumi->lineEdit()->insert(u"\tcomputer"_s), r.press(Qt::Key_Return);
        r.type(u"computerx"_s), r.press(Qt::Key_Space);
        QVERIFY(w.lblscore->Caption() == u"2"_s && r.entry() == u" "_s);
        r.press(Qt::Key_Return), r.type(u"abc"_s); // a box of spaces, then editing keys
        for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_X, Qt::Key_Home, Qt::Key_Y,
                                  Qt::Key_End, Qt::Key_Backspace, Qt::Key_Right, Qt::Key_Z})
            r.press(key);
        QCOMPARE(r.entry(), u"yaxbz"_s);
    }

    // A miss keeps the combo from counting until its sign ends; the combo pays at 40 and clears
    // the level at 80.
    void comboShouldCountOutsideTheMissSignPayAtFortyAndClearTheLevelAtEighty() {
        Rig r;
        game::frmlumi& w = r.open();
        r.click(*w.cmdstart);
        r.random.repeatWhenEmpty(0);
        r.hit(39), r.miss();            // at 50
        r.clock.advance(450), r.miss(); // at 550: the sign now lasts until 1550
        r.hit(2);
        QVERIFY(w.lblscore->Caption() == u"41"_s && w.CN->Caption() == u"39"_s);
        QVERIFY(w.Good->Visible() && !w.Super->Visible());
        stay(r, 1000, {w.Poor, w.CN, w.CT});
        QVERIFY(!w.Timer1->Enabled() && !w.Timer2->Enabled() && w.MissFlag == 0);
        // Each hit dealt the word typed again, told as any word dealt, in the second's sentence.
        QVERIFY(r.reader.news.at(1).startsWith(
            u"Score 1, Cool~!, Combo 1, Combo!, %1. Score 2, Combo 2, %1. "_s.arg(w.WordBank[0])));
        r.hit();
        QCOMPARE(w.CN->Caption(), u"1"_s);
        // Good, shown again 600 ms later, lasts a second from then, also across a Stop.
        r.clock.advance(600), r.hit(), r.click(*w.cmdstop);
        stay(r, 1000, {w.Good});
        QVERIFY(!w.Timer2->Enabled());

        r.click(*w.cmdstart), r.miss(), r.clock.advance(1000); // its sign's end hides the combo
        r.miss(), r.click(*w.cmdstop);
        r.hit(20); // in the miss sign's second: scored, not counted
        QVERIFY(!w.CN->Visible());
        r.clock.advance(1000);
        r.hit(39);
        QVERIFY(w.Good->Visible() && !w.Super->Visible() && w.SpeedChr == 15); // at 50
        r.hit();
        QVERIFY(w.lblscore->Caption() == u"160"_s && w.CN->Caption() == u"40"_s);
        QVERIFY(w.Super->Visible() && !w.Good->Visible() && w.CT->Visible());
        // 160 passed 100 and 150, but the speed-up reads the score once, after the hit.
        QVERIFY(w.SpeedChr == 15 && r.boxes.shown.empty());
        r.clock.advance(1000);
        QVERIFY(!w.Super->Visible() && !w.Timer3->Enabled() && !w.Timer2->Enabled());
        r.hit(39);
        r.boxes.whileOpen = [&](const Box&) {
            QVERIFY(!w.tmrlumi->Enabled() && w.optslow->Value() &&
                    w.lblscore->Caption() == u"800"_s);
        };
        r.hit();
        QVERIFY(r.boxes.shown.size() == 1 && r.boxes.shown[0].title == u"레벨 클리어!"_s);
        QCOMPARE(r.boxes.shown[0].prompt,
                 u"Level Cleared!! - 드디어 당신은 루미벡스에 통달했습니다!다음 레벨! -"_s);
        QVERIFY(w.CN->Caption() == u"80"_s && w.Super->Visible() && !w.Good->Visible());
        QVERIFY(w.optfast->Value() && w.SpeedChr == 60 && w.tmrlumi->Enabled());
        stay(r, 1000, {w.Super});
        QVERIFY(!w.Timer3->Enabled());
        r.hit();
        QVERIFY(w.CN->Caption() == u"81"_s && r.boxes.shown.size() == 1);
    }

    void composedWordShouldCountWhenSpaceOrEnterEndsIt() {
        Rig r;
        const float computer = pick(1);
        game::frmlumi& w = r.open({computer, pick(21), 0, 0, 0, 0});
        r.click(*w.cmdstart);
        r.random.repeatWhenEmpty(computer); // a hit deals 컴퓨터 again
        // Committed; then as decomposed jamo, as some engines send it.
        for (const QString& word :
             {u"컴퓨터"_s, u"컴퓨터"_s.normalized(QString::NormalizationForm_D)})
            r.compose(word, QString()), r.press(Qt::Key_Space);
        QVERIFY(w.lblscore->Caption() == u"2"_s && r.entry() == u" "_s);
        // Still composing the last syllable when the key comes; the engine then empties its
        // composition and sends the syllable late, which must not start the next word.
        r.compose(u"컴퓨"_s, u"터"_s), r.press(Qt::Key_Space), r.compose({}, {});
        r.compose(u"터"_s, u"ㅋ"_s), r.compose(u"컴"_s, u"퓨"_s), r.compose(u"퓨"_s, u"터"_s);
        r.press(Qt::Key_Return);
        QVERIFY(w.lblscore->Caption() == u"4"_s && r.entry().isEmpty());
        // A wrong word is judged with its pending syllable too. A key typed before a late
        // syllable shows the engine had nothing more to send: what comes next starts a word.
        r.compose(u"컴퓨"_s, u"타"_s), r.press(Qt::Key_Return), r.compose(u"타"_s, {});
        QVERIFY(r.entry().isEmpty() && w.lblscore->Caption() == u"4"_s);
        r.compose(u"컴퓨"_s, u"터"_s), r.press(Qt::Key_Return), r.press(Qt::Key_A);
        r.compose(u"터"_s, {});
        QVERIFY(r.entry() == u"a터"_s && w.CN->Caption() == u"5"_s);
        // The one word the bank shows after a space is typed as it reads.
        const QString shown = w.lbllumi(1).Caption();
        r.press(Qt::Key_Return), r.compose(shown.trimmed(), {}), r.press(Qt::Key_Return);
        QVERIFY(shown.startsWith(u' ') && w.CN->Caption() == u"6"_s &&
                w.lbllumi(1).Caption() != shown);
    }

    // Played with the keyboard alone: Tab, the arrow keys and Enter (or keypad Enter); a choice
    // of language stops the game.
    void keyboardShouldStopOnceAtEachControlAndEnterClick_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("english");
        for (const bool fast : {false, true})
            for (const bool english : {false, true})
                QTest::addRow("%s, %s", fast ? "Fast" : "Slow", english ? "English" : "Korean")
                    << fast << english;
    }

    void keyboardShouldStopOnceAtEachControlAndEnterClick() {
        QFETCH(bool, fast);
        QFETCH(bool, english);
        const Qt::Key key = fast ? Qt::Key_Enter : Qt::Key_Return;
        Rig r;
        game::frmlumi& w = r.open();
        // Each frame of options is one stop, at its selected option.
        QStringList round{"cmdstart",  "cmdstop",  "optslow", "cmdexit",
                          "optkorean", "Picture1", "txtlumi"};
        if (fast)
            r.click(*w.optfast), round[2] = u"optfast"_s;
        if (english)
            r.random.push({0, 0, 0, 0, 0, 0}), r.click(*w.optenglish), round[4] = u"optenglish"_s;
        (fast ? w.optslow : w.optfast)->SetFocus(); // as a press dragged off it: no selection
        w.txtlumi->SetFocus();
        QStringList visited;
        for (qsizetype i = 0; i < round.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, round);
        const auto modifiers = fast ? Qt::KeypadModifier : Qt::NoModifier;
        const auto enter = [&](auto* button) { QTest::keyClick(button->widget(), key, modifiers); };
        enter(w.cmdstart);
        r.tick({r.step(17), r.step(17), r.step(17), r.step(17), r.step(17), r.step(17)});
        // An arrow key chooses the other language, once: the game stops and its words are dealt
        // anew, hidden where they stood; choosing it again deals nothing.
        (english ? w.optenglish : w.optkorean)->SetFocus();
        r.random.push({pick(0), pick(2), pick(0), pick(49), pick(20), pick(7)});
        QTest::keyClick(QApplication::focusWidget(), english ? Qt::Key_Up : Qt::Key_Down);
        ui::OptionButton* other = english ? w.optkorean : w.optenglish;
        QVERIFY(other->Value() && other->widget()->hasFocus() && r.random.pending() == 0);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QCOMPARE(w.lbllumi(0).Caption(), english ? u"호츨기"_s : u"pager"_s);
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            QVERIFY(!w.lbllumi(i).Visible() && w.lbllumi(i).Top() == 17);
        r.clock.advance(200), r.click(*other);
        // Held down, the key repeats: the button takes the first press only.
        enter(w.cmdstart);
        QSignalSpy stops(w.cmdstop->button(), &QPushButton::clicked);
        QKeyEvent repeated(QEvent::KeyPress, key, modifiers, u"\r"_s, true);
        QApplication::sendEvent(w.cmdstop->widget(), &repeated);
        QVERIFY(stops.isEmpty() && w.tmrlumi->Enabled());
        enter(w.cmdstop);
        QVERIFY(stops.size() == 1 && !w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QTest::keyClick(w.cmdstart->widget(), Qt::Key_Space); // Space presses it as ever
        QVERIFY(w.tmrlumi->Enabled() && !w.cmdstart->Enabled());
        enter(w.cmdexit);
        QVERIFY(r.program.ended() && r.program.failures.empty());
    }

    void wordsShouldShowWhereTheyStandAndVanishWhereTheyLeft_data() {
        QTest::addColumn<bool>("byHit");
        QTest::newRow("hit") << true;
        QTest::newRow("miss") << false;
    }

    void wordsShouldShowWhereTheyStandAndVanishWhereTheyLeft() {
        QFETCH(bool, byHit);
        Rig r;
        game::frmlumi& w = r.open();
        r.click(*w.cmdstart);
        w.SpeedChr = 5000;
        r.tick({r.step(byHit ? 1200 : 4590), 0, 0, 0, 0, 0});
        // Above the floor strip the word shows, whole and on its own ground; below its top
        // edge the strip covers it.
        const ui::Label& word = w.lbllumi(0);
        const QRect at = word.pixelRect() & QRect(0, 0, 657, 312);
        QVERIFY(!at.isEmpty() && inkIn(w, at) > 0 && inkIn(w, at.translated(0, 40)) == 0);
        QVERIFY(at.width() > QFontMetrics(word.font()).horizontalAdvance(word.Caption()));
        QCOMPARE(Rig::screen(w).pixelColor(at.topLeft()), word.BackColor());
        if (byHit) // and 정보처리산업기사 dealt, a longer word that shows whole
            r.type(word.Caption()), r.random.push(pick(5)), r.press(Qt::Key_Return);
        else
            r.tick({r.step(300), pick(5), 0, 0, 0, 0, 0});
        QVERIFY(w.lbllumi(0).Top() == 0 && inkIn(w, at) == 0);
        QVERIFY(word.pixelRect().width() >
                QFontMetrics(word.font()).horizontalAdvance(word.Caption()));
    }

    // The window as laid out, and as a screen reader reads it and its message boxes.
    void windowShouldStackTheFieldDrawItsCountersBoldAndBeRead() {
        const EagerReader reader; // from the first control built to the window's end
        auto rig = std::make_unique<Rig>();
        game::frmlumi& w = rig->open({Rig::pick(1), 0, 0, 0, 0, 0});
        QVERIFY(w.controls().size() == 44 && w.controls()[14]->name() == u"Picture1"_s &&
                w.controls()[28]->name() == u"Shplumi(9)"_s);
        QVERIFY(w.Caption() == u"Lumivex"_s && w.BackColor() == QColor(192, 192, 192));
        QVERIFY(w.widget()->minimumSize() == QSize(657, 430) &&
                w.widget()->maximumSize() == QSize(657, 430));
        QCOMPARE(w.cmdstart->widget()->geometry(), QRect(208, 392, 113, 25));
        QCOMPARE(w.optkorean->widget()->geometry(), QRect(8, 16, 97, 17)); // in its frame
        QVERIFY(w.Shplumi(9).pixelRect() == QRect(640, 248, 9, 65) &&
                w.Shplumi(5).BackColor() == Qt::red);
        QCOMPARE(w.CN->font().pointSizeF(), 27.75);
        QCOMPARE(QFontInfo(w.Super->font()).family(), u"BM JUA_TTF"_s); // a heavy Hangul face
        for (const ui::Label* box : {w.lblbonus, w.lblscore, w.Label1, w.Label3}) // bold on black
            QVERIFY2(box->font().bold() && pixelsOf(w, box->pixelRect(), Qt::black) * 2 >
                                               box->pixelRect().width() * box->pixelRect().height(),
                     qPrintable(box->name()));
        QVERIFY(w.txtlumi->widget()->font().bold() && w.cmdexit->widget()->font().bold());
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.widget());
        QHash<QString, QAccessibleInterface*> read;
        for (int i = 0; i < window->childCount(); ++i) {
            read.insert(window->child(i)->text(QAccessible::Name), window->child(i));
            QVERIFY(window->child(i)->parent() == window &&
                    window->indexOfChild(window->child(i)) == i);
        }
        for (const QString& name :
             {u"Start"_s, u"자판(Keybord)"_s, u"Smile"_s, u"Typed word"_s, u"Ground"_s})
            QVERIFY2(read.contains(name), qPrintable(name));
        QAccessibleInterface* word = read.value(u"컴퓨터"_s);
        QVERIFY(word->state().invisible && word->role() == QAccessible::StaticText);
        rig->click(*w.cmdstart);
        const QRect drawn = w.lbllumi(0).pixelRect();
        QCOMPARE(word->rect(), QRect(w.widget()->mapToGlobal(drawn.topLeft()), drawn.size()));
        QAccessibleInterface* lives = read.value(u"Lives"_s);
        QVERIFY(!word->state().invisible && lives->text(QAccessible::Value) == u"10"_s);
        // A review finds the counter's digits, and a word centred, where they are drawn.
        const QAccessibleTextInterface* digits = lives->textInterface();
        QVERIFY(lives->rect().contains(digits->characterRect(1)) &&
                digits->characterRect(0).right() < digits->characterRect(1).left() &&
                word->textInterface()->text(1, 2) == u"퓨"_s &&
                word->textInterface()->characterRect(0).left() > word->rect().left());
        QStringList heard;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
            heard << read->text(QAccessible::Name) << read->text(QAccessible::Description);
            box->accept();
        });
        ui::QtMessageBoxes().critical(*w.widget(), u"Prompt"_s, u"Title"_s);
        QCOMPARE(heard, QStringList({"Title", "Prompt"}));
        // The longest word of a letter that the reader takes lies wholly inside the window in
        // the column that leaves it least room; one letter more would not, and it says so.
        const words::TooWide fit = game::frmlumi::fieldFit();
        for (const QString& letter : {u"m"_s, u"i"_s, u"한"_s}) {
            QString longest = letter;
            while (!fit(longest + letter))
                longest += letter;
            QVERIFY(fit(longest + letter)->startsWith(u"is too wide for the play field: "_s));
            w.lbllumi(4).setCaption(longest); // the rightmost column
            QVERIFY(w.widget()->rect().contains(w.lbllumi(4).pixelRect()));
            w.lbllumi(4).setCaption(longest + letter);
            QVERIFY(!w.widget()->rect().contains(w.lbllumi(4).pixelRect()));
        }
        const QAccessible::Id id = QAccessible::uniqueId(word);
        rig.reset();
        QVERIFY(!QAccessible::accessibleInterface(id)); // a label's goes with it
    }

    // Start-up and the intro window: the credits roll, the button blinks and opens the game.
    void startShouldShowTheIntroRollTheCreditsAndBlinkTheButtonThatOpensTheGame() {
        Rig r;
        intro::frmservices& intro = (r.random.repeatWhenEmpty(0), r.windows.open(), r.intro);
        QVERIFY(intro.shown() && r.w.loaded() && !r.w.shown() && r.random.timesSeeded() == 1);
        QVERIFY(!r.w.widget()->windowIcon().isNull() && !intro.widget()->windowIcon().isNull());
        QVERIFY(intro.Caption() == u"머 릿 말 "_s && intro.widget()->size() == QSize(583, 407));
        ui::Label& label = *intro.lblservice;
        const QStringList lines = label.Caption().split(QChar(13));
        QVERIFY(lines.size() == 17 && lines.first() == u"<<Lumivex>> ver1.0"_s);
        // Where the picture box shows ink, in its client pixels.
        const auto ink = [&] {
            QApplication::processEvents();
            const QImage shown = Rig::screen(intro).copy(intro.picservice->widget()->geometry());
            QRect at;
            for (int y = 2; y < shown.height() - 2; ++y)
                for (int x = 2; x < shown.width() - 2; ++x)
                    if (qGray(shown.pixel(x, y)) < 100)
                        at |= QRect(x - 2, y - 2, 1, 1);
            return at;
        };
        // Before the first tick only the first line shows, centred, at the label's place.
        QVERIFY(ink().top() >= 288 && ink().bottom() < 288 + 17);
        QVERIFY(std::abs(ink().center().x() - ui::pixels(960 + 6135 / 2.0)) <= 3);
        QVERIFY(QApplication::focusWidget() == intro.picservice->widget() &&
                QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                        ->text(QAccessible::Name) == u"Credits"_s);
        const QRect at = intro.cmdservice->widget()->geometry();
        for (const QColor expected :
             {QColor(255, 0, 255), QColor(0, 255, 0), QColor(255, 0, 255)}) {
            r.clock.advance(499);
            QVERIFY(intro.cmdservice->BackColor() != expected);
            r.clock.advance(1);
            // The face fills most of the button and none of its outer ring, whatever the style.
            const int filled = pixelsOf(intro, at.adjusted(1, 1, -1, -1), expected);
            QVERIFY(filled > at.width() * at.height() / 2 &&
                    pixelsOf(intro, at, expected) == filled);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), intro.cmdservice->widget());
        r.clock.advance(99);
        for (int tick = 16; tick <= 182; ++tick) { // the blinks took 15
            r.clock.advance(100);
            QCOMPARE(label.Top(), 4000.0f - 20.0f * static_cast<float>(tick));
            QCOMPARE(label.Top() + label.Height(), 3990.0f);
        }
        QCOMPARE(intro.tmrscroll->Interval(), 100); // at rest from the next tick
        r.clock.advance(100);
        QCOMPARE(intro.tmrscroll->Interval(), 0);
        r.clock.advance(60'000);
        QVERIFY(label.Top() == 360 && label.Height() == 3630);
        // The text is taller than the label: its lines are cut off at the label's bottom.
        QVERIFY(ink().top() >= 24 && ink().top() < 34 && ink().bottom() < 266 &&
                ink().bottom() > 246);
        // Enter on the button opens the game; hidden, the intro blinks on and leaves the game
        // alone.
        const QString word = r.w.lbllumi(0).Caption();
        const long long drawn = r.random.drawn();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(r.w.shown() && !intro.shown());
        const std::int16_t blink = intro.BlinkState;
        r.clock.advance(500);
        QVERIFY(intro.BlinkState != blink && r.w.lbllumi(0).Caption() == word);
        QVERIFY(r.random.drawn() == drawn && !r.w.tmrlumi->Enabled() && r.program.failures.empty());
    }

    void readerShouldKeepEachWordOrSayWhyNot_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("read"); // the words, or how the message begins
        const auto row = [](const char* what, const QByteArray& bytes, const QString& read) {
            QTest::newRow(what) << bytes << read;
        };
        row("mark, CR LF, comments, blanks", "\xEF\xBB\xBF# 과일\r\n\r\n  apple \r\n\t사과\t\r\n#x",
            u"words: 사과 | apple"_s);
        row("decomposed Hangul, repeats",
            u"사과\nb\nK팝\nb\n"_s.normalized(QString::NormalizationForm_D).toUtf8(),
            u"words: 사과 K팝 | b b"_s);
        row("10000 words", QByteArray("a\n").repeated(10000),
            u"words:  | "_s + QStringList(10000, u"a"_s).join(u' '));
        row("1 MiB", QByteArray(words::kLargestFile - 2, '#') + "\na", u"words:  | a"_s);
        row("missing", "missing", u"the file does not exist"_s);
        row("folder", "folder", u"it is a folder, not a file"_s);
        row("link loop", "loop", u"it cannot be read (too many levels of symbolic links)"_s);
        row("named pipe", "pipe", u"it is not a regular file"_s);
        row("empty", "", u"it has no word (one word a line; lines that begin with # are"_s);
        row("Latin-1", "a\n\n\xE9t\xE9\n", u"line 3: it is not UTF-8 text"_s);
        row("a NUL", "a\nb\0c\n"_ba, u"line 2: it holds a NUL byte; a word list is text"_s);
        row("a NUL first", "\0a"_ba, u"line 1: it holds a NUL byte"_s);
        row("10001 words", QByteArray("a\n").repeated(10001), u"it holds more than 10000 words"_s);
        row("over 1 MiB", QByteArray(words::kLargestFile + 1, 'a'),
            u"it is larger than 1 MiB (1048577 bytes); a word list holds at most 1048576"_s);
        row("a space inside", "a\n ice cream \n",
            u"line 2: \"ice cream\" has a blank inside, and"_s);
        row("a tab inside", "아이스\t크림", u"line 1: \"아이스\t크림\" has a blank inside"_s);
        row("an escape", "a\x1B", u"line 1: it holds the control character U+001B, which cannot"_s);
        row("a megabyte-long word", QByteArray(1000000, 'w'),
            u"line 1: \""_s + QString(40, u'w') + u"…\" is too long for the play field: 1000000"_s);
    }

    void readerShouldKeepEachWordOrSayWhyNot() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, read);
        QTemporaryDir folder;
        const QString got = readBack(write(folder, bytes));
        QVERIFY2(read.startsWith(u"words: "_s) ? got == read : got.startsWith(read),
                 qPrintable(got));
    }

    // Chosen with Ctrl+O between games, a list plays as the built-in words do, in the language
    // it has words for, and the next run starts with it; Ctrl+Shift+O goes back. Nothing moves
    // while the chooser is open. A list remembered but gone is forgotten; --words is not kept.
    void ownWordsShouldBeChosenBetweenGamesAndPlayAsTheBuiltInOnes() {
        QTemporaryDir folder, other;
        const QString list = write(folder, "# 3주\n사과\n바나나\n수박\n");
        const QString bad = write(other, "사과\nice cream\n");
        const std::vector<QString> own{u"사과"_s, u"바나나"_s, u"수박"_s};
        Rig r;
        r.files.memory = folder.filePath(u"gone.txt"_s);
        QVERIFY(!app::startWords(r.w, r.files, {}) && r.files.memory.isEmpty());
        game::frmlumi& w = r.open();
        const std::vector<QString> builtIn = w.WordBank;
        const auto keys = [&](Qt::KeyboardModifiers also = {}) {
            QTest::keyClick(w.widget(), Qt::Key_O, Qt::ControlModifier | also);
        };
        r.files.chosen = list, r.files.whileOpen = [&] { r.clock.advance(2000); };
        r.random.push({pick(2, 3), pick(0, 3), pick(1, 3), pick(2, 3), pick(2, 3), pick(0, 3)});
        keys();
        // Held, two seconds on: they stop at their first tick.
        QVERIFY(r.clock.now() == 2000 && w.Timer1->Enabled() && w.Timer3->Enabled());
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == QDir::homePath() && w.WordBank == own);
        for (const int i : {0, 3, 4})
            QVERIFY(w.lbllumi(i).Caption() == u"수박"_s && !w.lbllumi(i).Visible());
        // Played as a player plays: Korean composed, a hit, a miss; neither Ctrl+O nor
        // Ctrl+Shift+O does anything meanwhile.
        r.click(*w.cmdstart), keys(), keys(Qt::ShiftModifier);
        r.type(u"수박"_s), r.random.push(pick(1, 3)), r.press(Qt::Key_Return);
        QVERIFY(w.lblscore->Caption() == u"1"_s && w.lbllumi(0).Caption() == u"바나나"_s);
        r.miss();
        QVERIFY(w.lblbonus->Caption() == u"9"_s && w.lbllumi(5).Caption() == u"사과"_s);
        // The list has no English: that language keeps its own words.
        r.random.repeatWhenEmpty(0), r.click(*w.optenglish);
        QVERIFY(w.WordBank.size() == builtIn.size() && w.WordBank != builtIn);
        // The game that the language ended is kept under the list's name.
        QVERIFY(r.records.kept.size() == 1 && r.records.kept[0].wordList == u"list.txt"_s &&
                r.records.kept[0].listDigest.size() == 16);
        r.click(*w.optkorean);
        // A list that cannot be played is said in a box, and the one in use stays; so does a
        // cancelled choice.
        r.files.chosen = bad, keys();
        QVERIFY(r.boxes.shown.size() == 1 &&
                r.boxes.shown[0].prompt.startsWith(bad + u": line 2: \"ice cream\" has a blank"_s));
        r.files.chosen.clear(), keys();
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == folder.path() && w.WordBank == own && r.files.opened == 3);
        keys(Qt::ShiftModifier);
        QVERIFY(w.Caption() == u"Lumivex"_s && r.files.memory.isEmpty() && w.WordBank == builtIn);
        Rig next, asked;
        next.files.memory = list, asked.files.memory = bad;
        QVERIFY(!app::startWords(next.w, next.files, {}) &&
                !app::startWords(asked.w, asked.files, list));
        QVERIFY(next.open().Caption() == u"Lumivex — list.txt"_s && next.w.WordBank == own);
        QVERIFY(asked.open().Caption() == u"Lumivex — list.txt"_s && asked.files.memory == bad);
    }

    // The examples, then 1000 mutations of them: each reads, or is refused in one line that
    // names the file; no sanitizer has anything to say.
    void mutatedListsShouldReadOrBeRefusedInOneLine() {
        QTemporaryDir folder;
        std::mt19937 chance(2026);
        const auto below = [&](qsizetype n) {
            return static_cast<qsizetype>(chance() %
                                          static_cast<unsigned>(std::max<qsizetype>(n, 1)));
        };
        QByteArrayList seeds;
        for (const char* name : {"korean", "english"}) {
            QFile example(u"share/lumivex/words/%1.txt"_s.arg(QLatin1String(name)));
            QVERIFY(example.open(QIODevice::ReadOnly));
            seeds << example.readAll();
        }
        int read = 0;
        for (int n = -2; n < 1000; ++n) {
            QByteArray bytes = seeds[n & 1];
            for (int edits = n < 0 ? 0 : 1 + below(4); edits > 0; --edits) {
                const qsizetype at = below(bytes.size()), how = below(4);
                if (how == 0) // a byte flipped, some bytes put in, the end cut, a chunk repeated
                    bytes[at] = static_cast<char>(chance());
                else if (how == 1)
                    bytes.insert(at,
                                 QByteArray(1 + below(3), "\0\n #\t\xE0\xED\xFF\x80w"[below(10)]));
                else if (how == 2)
                    bytes.truncate(at);
                else
                    bytes.insert(at,
                                 bytes.mid(below(bytes.size()), below(400)).repeated(1 + below(8)));
            }
            const QString path = write(folder, bytes), got = readBack(path);
            const bool words = got.startsWith(u"words: "_s);
            QVERIFY2(words || (n >= 0 && !got.startsWith(u'/') && !got.contains(u'\n')),
                     qPrintable(got));
            QVERIFY(!words || got.normalized(QString::NormalizationForm_C) == got);
            read += words;
        }
        qInfo("%d of 1002 read, the others refused", read);
    }

    // A player who types, clicks, closes and waits at random, for what no case-by-case test
    // reaches: the interleavings of steps, boxes and ends, run under the sanitizers too. Three
    // rules are checked after each event. A long run is, for example, with LUMIVEX_SEEDS=1,2,3
    // LUMIVEX_EVENTS=2000000: build/debug/tests/tst_game everyRuleShouldHoldWhateverThePlayerDoes
    void everyRuleShouldHoldWhateverThePlayerDoes_data() {
        QTest::addColumn<std::uint32_t>("seed");
        for (const QString& seed : qEnvironmentVariable("LUMIVEX_SEEDS", u"7,8"_s).split(u','))
            QTest::addRow("seed %s", qPrintable(seed)) << seed.toUInt();
    }

    void everyRuleShouldHoldWhateverThePlayerDoes() {
        QFETCH(std::uint32_t, seed);
        std::mt19937 rng(seed);
        const auto between = [&](int low, int high) {
            return std::uniform_int_distribution(low, high)(rng);
        };
        std::unique_ptr<Rig> s;
        int hits = 0, boxes = 0;
        bool started = false;             // the lives and the markers agree from the first Start on
        const auto ticked = [&](int ms) { // every game step draws
            const long long drawn = s->random.drawn();
            return s->clock.advance(ms), s->random.drawn() != drawn;
        };
        const long long events = qEnvironmentVariable("LUMIVEX_EVENTS", u"20000"_s).toLongLong();
        for (long long n = 0; n < events; ++n) {
            if (!s || s->program.ended()) { // nothing of either window may run after the end
                QVERIFY2(!s || (!ticked(5000) && s->program.failures.empty()), "a step at the end");
                s = std::make_unique<Rig>(), started = false;
                s->boxes.whileOpen = [&](const auto&) { QVERIFY(!ticked(between(0, 3000))); };
            }
            while (s->random.pending() < 8000) // the longest wait: 60 s of ticks
                s->random.push(std::min(std::uniform_real_distribution<float>()(rng), 0.9999f));
            if (!s->intro.loaded())
                s->windows.open();
            game::frmlumi& w = s->w;
            const int roll = between(0, 99);
            const double score = ui::numberOf(w.lblscore->Caption());
            if (roll == 0) {
                (w.shown() ? w.widget() : s->intro.widget())->close();
            } else if (w.shown() && roll < 45) { // a word on the field, or one that is not
                s->type(roll < 35 ? w.lbllumi(roll % 6).Caption() : u"a b 호츨"_s);
                s->press(between(0, 1) ? Qt::Key_Return : Qt::Key_Space);
                hits += ui::numberOf(w.lblscore->Caption()) > score;
            } else if (roll < 60) {
                std::vector<ui::Windowed*> on = {s->intro.cmdservice};
                if (w.shown())
                    on = {w.cmdstart, w.cmdstop, w.optenglish, w.optkorean, w.optslow, w.optfast};
                std::erase_if(on, [](ui::Windowed* c) { return !c->Enabled(); });
                ui::Windowed& c =
                    roll == 59 && w.shown() ? *w.cmdexit : *on[between(0, int(on.size()) - 1)];
                started = started || &c == w.cmdstart;
                s->click(c);
            } else {
                s->clock.advance(static_cast<int>(std::exp(between(0, 1100) / 100.0)));
            }
            boxes += static_cast<int>(std::exchange(s->boxes.shown, {}).size());
            // The markers show the lives.
            int markers = 0;
            for (int j = 0; j < game::frmlumi::kMarkers; ++j)
                markers += w.Shplumi(j).BackStyle();
            const double lives = ui::numberOf(w.lblbonus->Caption());
            QVERIFY2(!started || lives == markers, qPrintable(u"at event %1"_s.arg(n)));
        }
        qInfo("%d hits, %d message boxes", hits, boxes);
        QVERIFY(hits > 1000 && boxes > 10);
    }
};

QTEST_MAIN(Game)
#include "tst_game.moc"
