#include "support/game_fixture.h"

#include "app/lumivex.h"
#include "ui/random.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <map>

namespace {

// Loads the window dealing Korean entries 0 to 5 to lbllumi(0) to lbllumi(5).
game::frmlumi& openKorean(GameFixture& f) {
    const auto p = GameFixture::pick;
    return f.open({p(0), p(1), p(2), p(3), p(4), p(5)});
}

// One tick moves every word down by floor((SpeedChr + 30) * r).
void tick(GameFixture& f, float r) {
    f.random.push({r, r, r, r, r, r});
    f.clock.advance(50);
}

QStringList captions(const game::frmlumi& w) {
    QStringList all;
    for (int i = 0; i < game::frmlumi::kWords; ++i)
        all << w.lbllumi(i).Caption();
    return all;
}

QImage snapshot(const game::frmlumi& w) {
    QImage image = w.widget()->grab().toImage();
    // Pixel coordinates below are logical; undo any scaling of the test screen.
    return image.scaled(w.widget()->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// Pixels of `rect` nearer to the text colour `ink` than to the colour `paper` behind the text.
int inkPixels(const QImage& image, const QRect& rect, const QColor& ink, const QColor& paper) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (distance(c, ink) < distance(c, paper))
                ++count;
        }
    return count;
}

// How often each entry of a numbered word bank comes up in `draws` picks.
std::map<QString, int> picksOf(game::frmlumi& w, int draws,
                               const std::function<void(int)>& before) {
    for (int k = 0; k < 50; ++k)
        w.WordBank[static_cast<std::size_t>(k)] = QString::number(k);
    std::map<QString, int> counts;
    for (int n = 0; n < draws; ++n) {
        before(n);
        ++counts[w.randomWord()];
    }
    return counts;
}

} // namespace

class GameControl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void loadingShouldLeaveAStoppedKoreanGameOnSlow() {
        GameFixture f;
        auto& w = openKorean(f);
        QCOMPARE(f.random.timesSeeded(), 1);
        QCOMPARE(f.random.drawn(), 6);
        QCOMPARE(QStringList({w.WordBank[6], w.WordBank[12], w.WordBank[21], w.WordBank[49]}),
                 QStringList({"한글", "한글", " 경우", "음악"}));
        QCOMPARE(w.SpeedChr, std::int16_t(5));
        QVERIFY(w.optkorean->Value() && !w.optenglish->Value());
        QVERIFY(w.optslow->Value() && !w.optfast->Value());
        QCOMPARE(captions(w), QStringList({"호츨기", "컴퓨터", "소프트웨어", "이름", "기사",
                                           "정보처리산업기사"}));
        for (int i = 0; i < game::frmlumi::kWords; ++i) {
            QVERIFY(!w.lbllumi(i).Visible());
            QCOMPARE(w.lbllumi(i).BackStyle(), i == 0 ? 1 : 0);
        }
        QVERIFY(!w.tmrlumi->Enabled());
        QVERIFY(w.cmdstart->Enabled() && w.cmdstop->Enabled());
        QCOMPARE(w.lblscore->Caption(), QStringLiteral("0"));
        QCOMPARE(w.lblbonus->Caption(), QStringLiteral("0"));
        QVERIFY(w.Timer1->Enabled() && w.Timer3->Enabled() && !w.Timer2->Enabled());
    }

    void startStopStartShouldResetTheFieldButCarryTheComboAndCursor() {
        GameFixture f;
        auto& w = openKorean(f);
        QApplication::processEvents(); // the window's activation, which offscreen delivers queued
        f.click(*w.cmdstart);
        QVERIFY(w.tmrlumi->Enabled() && !w.cmdstart->Enabled() && w.cmdstop->Enabled());
        QCOMPARE(QApplication::focusWidget(), w.txtlumi->lineEdit());
        tick(f, 0.5f);
        tick(f, 0.5f);
        QCOMPARE(w.lbllumi(1).Top(), 34.0f);

        f.click(*w.cmdstop);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled() && w.cmdstop->Enabled());
        f.clock.advance(200); // no tick runs: the words stay where they stood
        QCOMPARE(w.lbllumi(0).Top(), 34.0f);
        QVERIFY(w.lbllumi(0).Visible() && f.program.failures.empty());

        w.ComboCount = 7;
        w.LifeCursor = 3;
        w.Shplumi(2).setBackStyle(0);
        w.lblscore->setCaption(QStringLiteral("12"));
        w.lblbonus->setCaption(QStringLiteral("8"));
        w.txtlumi->setText(QStringLiteral("abc"));
        f.click(*w.cmdstart);
        for (int i = 0; i < game::frmlumi::kWords; ++i) {
            QVERIFY(w.lbllumi(i).Visible());
            QCOMPARE(w.lbllumi(i).Top(), 0.0f);
        }
        QCOMPARE(captions(w), QStringList({"호츨기", "컴퓨터", "소프트웨어", "이름", "기사",
                                           "정보처리산업기사"}));
        for (int j = 0; j < game::frmlumi::kMarkers; ++j)
            QCOMPARE(w.Shplumi(j).BackStyle(), 1);
        QCOMPARE(w.lblbonus->Caption(), QStringLiteral("10"));
        QCOMPARE(w.lblscore->Caption(), QStringLiteral("0"));
        QCOMPARE(w.ComboCount, std::int16_t(7));
        QCOMPARE(w.LifeCursor, std::int16_t(3));
        QCOMPARE(f.entryText(), QStringLiteral("abc"));
    }

    void speedShouldBeFortyFromStartFiftyFromFastAndFiveFromSlow() {
        GameFixture f;
        auto& w = f.open();
        f.random.repeatWhenEmpty(0);
        f.click(*w.optfast);
        QCOMPARE(w.SpeedChr, std::int16_t(50));
        QVERIFY(w.optkorean->Value()); // the other frame is a group of its own
        f.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, std::int16_t(40));

        f.click(*w.optslow);
        QCOMPARE(w.SpeedChr, std::int16_t(5));
        f.click(*w.optfast);
        QCOMPARE(w.SpeedChr, std::int16_t(50));
        // A speed click changes nothing but the speed.
        QVERIFY(w.tmrlumi->Enabled() && !w.cmdstart->Enabled());

        // Clicking the option that is already selected keeps the speed as it is.
        w.SpeedChr = 60;
        f.click(*w.optfast);
        QCOMPARE(w.SpeedChr, std::int16_t(60));

        f.click(*w.cmdstop);
        f.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, std::int16_t(40));
        f.click(*w.cmdstop);
        f.click(*w.optslow);
        w.SpeedChr = 15; // as raised by scoring
        f.click(*w.cmdstart);
        QCOMPARE(w.SpeedChr, std::int16_t(5));
    }

    void languageSwitchDuringAGameShouldStopItAndDealHiddenWords() {
        GameFixture f;
        auto& w = openKorean(f);
        f.click(*w.cmdstart);
        tick(f, 0.5f);
        w.Shplumi(0).setBackStyle(0);
        w.lblscore->setCaption(QStringLiteral("3"));
        w.lblbonus->setCaption(QStringLiteral("9"));

        const auto p = GameFixture::pick;
        f.random.push({p(48), p(2), p(0), p(49), p(20), p(7)});
        f.click(*w.optenglish);
        QVERIFY(!w.tmrlumi->Enabled() && w.cmdstart->Enabled());
        QCOMPARE(w.WordBank[7], QStringLiteral("communication"));
        QCOMPARE(captions(w),
                 QStringList({"start", "software", "pager", "music", "blue", "communication"}));
        for (int i = 0; i < game::frmlumi::kWords; ++i) {
            QVERIFY(!w.lbllumi(i).Visible());
            QCOMPARE(w.lbllumi(i).Top(), 17.0f); // hidden where they stood
        }
        QCOMPARE(w.lblscore->Caption(), QStringLiteral("3"));
        QCOMPARE(w.lblbonus->Caption(), QStringLiteral("9"));
        QCOMPARE(w.Shplumi(0).BackStyle(), 0);
        f.clock.advance(200);
        QCOMPARE(f.random.pending(), std::size_t(0));

        f.click(*w.optenglish); // already selected: no new deal
        f.click(*w.cmdstart);
        QCOMPARE(captions(w),
                 QStringList({"start", "software", "pager", "music", "blue", "communication"}));
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            QVERIFY(w.lbllumi(i).Visible() && w.lbllumi(i).Top() == 0.0f);
    }

    void randomPickShouldReachEveryEntryEvenly() {
        GameFixture f;
        auto& w = f.open();
        // An even sweep of r over [0, 1) lands 100 times on every entry, give or take an edge.
        const auto swept = picksOf(w, 5000, [&](int n) { f.random.push(n / 5000.0f); });
        QCOMPARE(swept.size(), std::size_t(50));
        for (const auto& [entry, count] : swept)
            QVERIFY2(count >= 99 && count <= 101, qPrintable(entry));
        f.random.push({0.0f, 0.99999994f});
        QCOMPARE(w.randomWord(), QStringLiteral("0"));
        QCOMPARE(w.randomWord(), QStringLiteral("49"));

        ui::SystemRandom real;
        ui::Services services{f.clock, real, f.boxes, f.program};
        game::frmlumi seeded(services);
        seeded.Load();
        const auto drawn = picksOf(seeded, 50000, [](int) {});
        QCOMPARE(drawn.size(), std::size_t(50));
        // 1000 expected each, with a standard deviation near 31.
        for (const auto& [entry, count] : drawn)
            QVERIFY2(count > 800 && count < 1200, qPrintable(entry));
    }

    void layoutShouldHoldTheFortyFourControlsInStoredOrderAndPlace() {
        GameFixture f;
        auto& w = f.open();
        QStringList names;
        for (const auto& control : w.controls())
            names << control->name();
        QStringList expected = {
            "Timer3",   "Timer2",  "Timer1",  "frajapan", "optenglish", "optkorean", "cmdexit",
            "fralevel", "optslow", "optfast", "cmdstop",  "cmdstart",   "txtlumi",   "tmrlumi",
            "Picture1", "Line4",   "Line3",   "Line2",    "Line1",      "Super",     "Good",
            "Poor",     "CT",      "CN",      "Label3",   "Label1",     "lblbonus",  "lbllumi(4)"};
        for (int i = 9; i >= 0; --i)
            expected << QStringLiteral("Shplumi(%1)").arg(i);
        expected << "lblscore"
                 << "lbllumi(5)"
                 << "lbllumi(3)"
                 << "lbllumi(2)"
                 << "lbllumi(1)"
                 << "lbllumi(0)";
        QCOMPARE(names, expected);

        QWidget* window = w.widget();
        QCOMPARE(w.Caption(), QStringLiteral("Lumivex"));
        QCOMPARE(window->size(), QSize(657, 430));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(w.BackColor(), QColor(192, 192, 192));

        // Twips to pixels at 15 per pixel; controls in a frame are placed within it.
        QCOMPARE(w.cmdstart->widget()->geometry(), QRect(208, 392, 113, 25));
        QCOMPARE(w.Picture1->widget()->geometry(), QRect(0, 312, 657, 33));
        QCOMPARE(w.optkorean->widget()->parentWidget(), w.frajapan->widget());
        QCOMPARE(w.optkorean->widget()->pos(), QPoint(8, 16));
        QCOMPARE(w.Shplumi(9).pixelRect(), QRect(640, 248, 9, 65));
        QCOMPARE(w.Shplumi(5).BackColor(), QColor(255, 0, 0));
        QCOMPARE(w.frajapan->Caption(), QStringLiteral("자판(Keybord)"));
        QCOMPARE(w.Super->ForeColor(), QColor(255, 0, 255));
        QCOMPARE(w.Super->FontName(), QStringLiteral("하이텔울릉도제목체"));
        QCOMPARE(w.CN->font().pointSizeF(), 27.75);
        QCOMPARE(w.lblbonus->ForeColor(), QColor(0, 255, 0));
        QCOMPARE(w.txtlumi->FontName(), QStringLiteral("굴림"));
        QVERIFY(w.cmdexit->font().bold());
    }

    void focusShouldStartInTheEntryBoxAndFollowTheTabOrder() {
        GameFixture f;
        auto& w = f.open();
        QCOMPARE(w.widget()->focusWidget(), w.txtlumi->lineEdit());
        QApplication::processEvents(); // the window's activation, which offscreen delivers queued
        QCOMPARE(QApplication::activeWindow(), w.widget());
        QCOMPARE(QApplication::focusWidget(), w.txtlumi->lineEdit());
        // Qt enters each frame's group of options once, at its first option in the order.
        QStringList visited;
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"cmdstart", "cmdstop", "optfast", "cmdexit", "optkorean",
                                       "Picture1", "txtlumi"}));
    }

    void exitOrClosingTheWindowShouldEndTheProgram() {
        GameFixture f;
        auto& w = f.open();
        f.click(*w.cmdstart);
        f.click(*w.cmdexit);
        QVERIFY(f.program.ended());
        QCOMPARE(f.program.status(), 0);
        const long long drawn = f.random.drawn();
        f.clock.advance(5000); // no tick may run, nor draw from the empty script
        QCOMPARE(f.random.drawn(), drawn);
        QVERIFY(f.program.failures.empty());

        GameFixture g;
        g.open().widget()->close();
        QVERIFY(g.program.ended());
        QCOMPARE(g.program.status(), 0);
    }

    void startedGameShouldShowItsWordsWhereTheLabelsStand() {
        GameFixture f;
        auto& w = openKorean(f);
        f.click(*w.cmdstart);
        const QImage image = snapshot(w);
        const QColor field(192, 192, 192);
        QCOMPARE(image.pixelColor(5, 100), field);
        // lbllumi(0) keeps its opaque face; lbllumi(1) is drawn straight on the field.
        for (const ui::Label* word : {&w.lbllumi(0), &w.lbllumi(1)}) {
            const QColor paper = word->BackStyle() == 1 ? word->BackColor() : field;
            const QRect rect = word->pixelRect();
            QCOMPARE(image.pixelColor(rect.topLeft()), paper);
            QVERIFY2(inkPixels(image, rect, word->ForeColor(), paper) >= 10,
                     qPrintable(word->name()));
            QCOMPARE(inkPixels(image, rect.translated(0, 30), word->ForeColor(), field), 0);
        }
        // The floor strip and the frames have the button face of their kind, not the field's grey.
        const QColor face = w.lbllumi(0).BackColor();
        QCOMPARE(image.pixelColor(w.Picture1->widget()->geometry().center()), face);
        const QColor frame = image.pixelColor(w.fralevel->widget()->geometry().bottomRight() -
                                              QPoint(6, 6)); // inside its outline, shaded a bit
        QVERIFY(distance(frame, face) < distance(frame, field));
    }

    void wordBelowTheFloorShouldBeHiddenByPicture1() {
        GameFixture f;
        auto& w = openKorean(f);
        f.click(*w.cmdstart);
        ui::Label& word = w.lbllumi(1);
        for (float top : {4500.0f, 4700.0f}) {
            word.setTop(top);
            const QRect rect = word.pixelRect();
            const QImage shown = snapshot(w).copy(rect);
            word.setVisible(false);
            const QImage hidden = snapshot(w).copy(rect);
            word.setVisible(true);
            // Above the floor the word shows; from y 4680 (312 px) down the floor strip covers it.
            QCOMPARE(shown == hidden, top >= 4680.0f);
        }
        QVERIFY(word.pixelRect().top() >= w.Picture1->widget()->y());
    }
};

QTEST_MAIN(GameControl)
#include "tst_game_control.moc"
