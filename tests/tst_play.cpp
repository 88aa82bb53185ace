#include "support/game_fixture.h"

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using Box = ui::RecordingMessageBoxes::Shown;

float pick(int index) { return GameFixture::pick(index); }

// The draw that moves a word by `twips` in one tick at the given SpeedChr.
float step(int twips, int speed = 5) {
    return (static_cast<float>(twips) + 0.5f) / static_cast<float>(speed + 30);
}

// One game tick that takes exactly `draws`.
void tick(GameFixture& f, std::initializer_list<float> draws) {
    f.random.push(draws);
    f.clock.advance(50);
    QCOMPARE(f.random.pending(), std::size_t{0});
}

// `ticks` game ticks in which word i moves by steps[i] twips each time.
void fall(GameFixture& f, int ticks, const std::array<int, 6>& steps) {
    for (int n = 0; n < ticks; ++n) {
        for (const int twips : steps)
            f.random.push(step(twips));
        f.clock.advance(50);
    }
    QCOMPARE(f.random.pending(), std::size_t{0});
}

// The life markers a player sees, read from the window's pixels.
QString markersShown(const game::frmlumi& w) {
    const QImage image = w.widget()->grab().toImage();
    QString shown;
    for (int j = 0; j < game::frmlumi::kMarkers; ++j) {
        if (image.pixelColor(w.Shplumi(j).pixelRect().center()) == w.Shplumi(j).BackColor())
            shown += QString::number(j);
    }
    return shown;
}

void hitFirstWord(GameFixture& f, int times = 1) {
    for (int n = 0; n < times; ++n) {
        f.type(f.window->lbllumi(0).Caption());
        f.random.push(pick(0));
        f.pressEnter();
    }
}

} // namespace

class Play : public QObject {
    Q_OBJECT
private slots:
    void wholeGameShouldTakeMarkersFromTheCursorUntilGameOver() {
        GameFixture f;
        game::frmlumi& w = f.open();
        const auto word = [&](int index) { return w.WordBank[static_cast<std::size_t>(index)]; };

        // A first game, stopped after three misses.
        f.click(*w.cmdstart);
        fall(f, 141, {34, 34, 34, 0, 0, 0});
        tick(f, {step(6), pick(1), step(6), pick(2), step(6), pick(3), 0, 0, 0});
        QCOMPARE(markersShown(w), u"3456789"_s);
        QCOMPARE(w.lblbonus->Caption(), u"7"_s);
        f.click(*w.cmdstop);
        f.click(*w.cmdstart);
        QCOMPARE(markersShown(w), u"0123456789"_s);
        QCOMPARE(w.lblbonus->Caption(), u"10"_s);

        // The next game goes on from marker 3. Two words miss in one tick; 4799 is no miss.
        fall(f, 141, {34, 34, 34, 34, 34, 0});
        tick(f, {step(6), pick(10), step(5), step(34), pick(11), 0, 0, 0});
        QCOMPARE(markersShown(w), u"01256789"_s);
        QCOMPARE(w.lblbonus->Caption(), u"8"_s);
        QVERIFY(w.Poor->Visible());
        QCOMPARE(w.lbllumi(0).Top(), 0.0f);
        QCOMPARE(w.lbllumi(0).Caption(), word(10));
        QCOMPARE(w.lbllumi(1).Top(), 4799.0f);
        QCOMPARE(w.lbllumi(2).Top(), 0.0f);

        // A word sent back to the top falls from there in the next tick.
        tick(f, {step(3), step(1), pick(12), 0, step(6), pick(13), step(6), pick(14), 0});
        QCOMPARE(w.lbllumi(0).Top(), 3.0f);
        QCOMPARE(markersShown(w), u"01289"_s);
        QCOMPARE(w.lblbonus->Caption(), u"5"_s);

        fall(f, 141, {34, 34, 34, 34, 34, 34});
        tick(f, {step(3), pick(15), step(6), pick(16), step(6), pick(17), step(6), pick(18), 0, 0});
        QCOMPARE(markersShown(w), u"2"_s);
        QCOMPARE(w.lblbonus->Caption(), u"1"_s);
        QCOMPARE(w.LifeCursor, 2);

        // The last life goes at lbllumi(4); lbllumi(5) takes no draw and does not move.
        f.boxes.whileOpen = [&](const Box&) {
            QCOMPARE(w.lblbonus->Caption(), u"0"_s);
            QCOMPARE(markersShown(w), QString());
            QVERIFY(w.tmrlumi->Enabled());
        };
        tick(f, {step(5), step(5), step(5), step(5), step(20)});
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(f.boxes.shown[0].title, u"Game Over!"_s);
        QCOMPARE(f.boxes.shown[0].prompt, u"관중들 : 우우우우~~"_s);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QCOMPARE(w.lblbonus->Caption(), u"0"_s);
        QCOMPARE(w.LifeCursor, 3);
        QCOMPARE(w.lbllumi(3).Top(), 5.0f);
        QCOMPARE(w.lbllumi(4).Top(), 4814.0f);
        QCOMPARE(w.lbllumi(4).Caption(), word(14));
        QCOMPARE(w.lbllumi(5).Top(), 4794.0f);

        // Nothing falls any more; the miss sign still ends on time.
        f.clock.advance(2000);
        QVERIFY(!f.program.ended());
        QCOMPARE(w.lbllumi(5).Top(), 4794.0f);
        QVERIFY(!w.Poor->Visible());
    }

    void stepShouldStayWithinTheSpeedRangeAndTheBottomLineShouldCount() {
        GameFixture f;
        game::frmlumi& w = f.open();
        const float justBelowOne = std::nextafter(1.0f, 0.0f);
        f.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, 5);
        w.lbllumi(1).setTop(4765);
        w.lbllumi(2).setTop(4766);
        tick(f, {justBelowOne, justBelowOne, justBelowOne, pick(7), 0, 0, 0});
        QCOMPARE(w.lbllumi(0).Top(), 34.0f);
        QCOMPARE(w.lbllumi(1).Top(), 4799.0f);
        QCOMPARE(w.lbllumi(2).Top(), 0.0f);
        QCOMPARE(w.lbllumi(2).Caption(), w.WordBank[7]);
        QCOMPARE(w.lbllumi(3).Top(), 0.0f);
        QCOMPARE(w.lblbonus->Caption(), u"9"_s);

        f.click(*w.cmdstop);
        f.click(*w.optfast);
        f.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, 40);
        tick(f, {justBelowOne, step(69, 40), 0, 0, 0, 0});
        QCOMPARE(w.lbllumi(0).Top(), 69.0f);
        QCOMPARE(w.lbllumi(1).Top(), 69.0f);
    }

    void gameTickShouldNotRunWhileTheGameOverBoxIsOpen() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            w.lbllumi(i).setTop(4790);
        tick(f, {step(10), pick(0), step(10), pick(0), step(10), pick(0), step(10), pick(0),
                 step(10), pick(0), step(10), pick(0)});
        QCOMPARE(w.lblbonus->Caption(), u"4"_s);
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            w.lbllumi(i).setTop(4790);

        f.boxes.whileOpen = [&](const Box&) {
            const long long drawn = f.random.drawn();
            f.clock.advance(5000);
            QCOMPARE(f.random.drawn(), drawn);
            QCOMPARE(w.lblbonus->Caption(), u"0"_s);
            QCOMPARE(w.lbllumi(4).Top(), 4790.0f);
            QVERIFY(w.Poor->Visible());
        };
        tick(f, {step(10), pick(0), step(10), pick(0), step(10), pick(0), step(10)});
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(f.boxes.mostOpenAtOnce, 1);
        QVERIFY(!f.program.ended());
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QCOMPARE(w.lbllumi(3).Top(), 4800.0f);

        // The miss sign fell due while the box was open; it ends at its first period after.
        f.clock.advance(999);
        QVERIFY(w.Poor->Visible());
        f.clock.advance(1);
        QVERIFY(!w.Poor->Visible());
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
    }

    void levelClearAfterGameOverShouldEndTheGameAgainWithoutNegativeLives() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        w.lblbonus->setCaption(u"1"_s);
        w.lbllumi(5).setTop(4790);
        tick(f, {0, 0, 0, 0, 0, step(10)});
        QVERIFY(!w.tmrlumi->Enabled());
        f.clock.advance(1000); // the miss sign ends, and with it the old combo

        // Words stand still after a Game Over, so a level can be cleared by typing them; the
        // tick then runs again over the word that ended the game.
        w.ComboCount = 79;
        hitFirstWord(f);
        QCOMPARE(f.boxes.shown.back().title, u"레벨 클리어!"_s);
        QVERIFY(w.tmrlumi->Enabled());
        tick(f, {0, 0, 0, 0, 0, 0});
        QCOMPARE(w.lblbonus->Caption(), u"0"_s);
        QCOMPARE(f.boxes.shown.size(), std::size_t{3});
        QCOMPARE(f.boxes.shown.back().title, u"Game Over!"_s);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
    }

    void speedPastTheSixteenBitRangeShouldEndTheProgram() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        w.SpeedChr = 32737;
        tick(f, {0, 0, 0, 0, 0, 0});
        QVERIFY(!f.program.ended());

        w.SpeedChr = 32767;
        const long long drawn = f.random.drawn();
        f.random.push({0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
        f.clock.advance(50);
        QVERIFY(f.program.ended());
        QCOMPARE(f.program.status(), 1);
        QCOMPARE(f.program.failures.size(), std::size_t{1});
        QVERIFY2(f.program.failures[0].contains(u"Overflow"_s), qPrintable(f.program.failures[0]));
        QCOMPARE(f.random.drawn(), drawn + 1);
        QCOMPARE(w.lbllumi(0).Top(), 0.0f);
        f.clock.advance(1000);
        QCOMPARE(f.program.failures.size(), std::size_t{1});
    }

    void flashTimersShouldFireOnceAfterLoadingWithoutVisibleChange() {
        GameFixture f;
        game::frmlumi& w = f.open();
        const QImage loaded = w.widget()->grab().toImage();
        f.clock.advance(999);
        QVERIFY(w.Timer1->Enabled() && w.Timer3->Enabled());
        f.clock.advance(1);
        QVERIFY(!w.Timer1->Enabled() && !w.Timer3->Enabled());
        QCOMPARE(f.clock.runningTimers(), 0);
        QCOMPARE(w.ComboCount, 0);
        QCOMPARE(w.widget()->grab().toImage(), loaded);
    }

    void eachFlashShouldEndOneSecondAfterItsLatestEvent() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        f.random.repeatWhenEmpty(0); // idle ticks: steps of 0
        const auto missAtNextTick = [&] {
            w.lbllumi(5).setTop(4790);
            tick(f, {0, 0, 0, 0, 0, step(10), pick(0)});
        };

        hitFirstWord(f, 2);
        missAtNextTick(); // at 50
        QVERIFY(w.Poor->Visible() && w.CT->Visible());
        f.clock.advance(450);
        missAtNextTick(); // at 550: the sign now lasts until 1550
        f.clock.advance(950);
        QVERIFY(w.Poor->Visible());
        f.clock.advance(49);
        QVERIFY(w.Poor->Visible() && w.CN->Visible());
        f.clock.advance(1);
        QVERIFY(!w.Poor->Visible() && !w.CT->Visible() && !w.CN->Visible());
        QCOMPARE(w.MissFlag, 0);
        QCOMPARE(w.ComboCount, 0);

        // Good, shown again 600 ms later, lasts a second from then, also across a Stop.
        hitFirstWord(f);
        f.clock.advance(600);
        hitFirstWord(f);
        f.click(*w.cmdstop);
        f.clock.advance(999);
        QVERIFY(w.Good->Visible());
        f.clock.advance(1);
        QVERIFY(!w.Good->Visible());

        // Super for the fortieth hit; the Good it hid stays hidden, the combo stays on show.
        w.ComboCount = 39;
        hitFirstWord(f);
        QVERIFY(w.Super->Visible() && !w.Good->Visible());
        f.clock.advance(999);
        QVERIFY(w.Super->Visible());
        f.clock.advance(1);
        QVERIFY(!w.Super->Visible() && !w.Good->Visible());
        QVERIFY(w.CT->Visible() && w.CN->Visible());
        QCOMPARE(w.CN->Caption(), u"40"_s);
    }
};

QTEST_MAIN(Play)
#include "tst_play.moc"
