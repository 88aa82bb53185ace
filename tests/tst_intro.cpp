#include "support/intro_fixture.h"

#include <QFrame>
#include <QTest>

#include <cstdlib>

namespace {

const QChar kCr(13);

// The credits as the player reads them, line by line.
const QStringList kCreditLines = {
    QStringLiteral("<<Lumivex>> ver1.0"),
    QString(),
    QStringLiteral("키보드는 남보다 잘치는데"),
    QStringLiteral("옆의 비트매니아 잘하는사람"),
    QStringLiteral("이 부러운 사람."),
    QString(),
    QString(),
    QStringLiteral("비트매니아 잘하는데 "),
    QStringLiteral("고작 루미벡스도 못치는 사람"),
    QString(),
    QStringLiteral("* 이 모든 분들을 위해 *"),
    QStringLiteral("^.^ Orlanworks"),
    QString(),
    QStringLiteral("만든이 : 미 르 솔"),
    QStringLiteral("이 양날개 교본을 바칩니다"),
    QString(),
    QStringLiteral("신의 가호가 있기를......"),
};

const QColor kLightMagenta(255, 0, 255);
const QColor kLightGreen(0, 255, 0);

bool near(const QColor& a, const QColor& b, int tolerance = 8) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The face of the button, left of its caption, as the player sees it.
QColor faceOf(const ui::CommandButton& button) {
    const QImage image = IntroFixture::look(button.widget());
    return image.pixelColor(10, image.height() / 2);
}

// Where the picture box shows anything but its background, in its client pixels.
QRect inkIn(const intro::frmservices& intro) {
    QWidget* box = intro.picservice->widget();
    const QImage image = IntroFixture::look(box);
    const QRect client = qobject_cast<QFrame*>(box)->contentsRect();
    const QColor background = image.pixelColor(client.topLeft());
    QRect ink;
    for (int y = client.top(); y <= client.bottom(); ++y)
        for (int x = client.left(); x <= client.right(); ++x)
            if (!near(image.pixelColor(x, y), background, 40))
                ink |= QRect(x, y, 1, 1);
    return ink.translated(-client.topLeft());
}

// Calls back when the watched widget is shown.
class ShowWatch final : public QObject {
public:
    ShowWatch(QWidget* watched, std::function<void()> onShow) : onShow_(std::move(onShow)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            onShow_();
        return false;
    }

private:
    std::function<void()> onShow_;
};

} // namespace

class IntroWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void loadShouldLoadTheGameWindowHiddenInsideItsOwnLoadStepOnce() {
        IntroFixture f;
        bool introLoading = false;
        QString creditsWhenSeeded;
        f.seeds.onSeed = [&] {
            introLoading = f.intro.loaded() && !f.intro.shown();
            creditsWhenSeeded = f.intro.lblservice->Caption();
        };
        QVERIFY(!f.game.loaded());
        f.open();
        QVERIFY(introLoading);
        QCOMPARE(creditsWhenSeeded, QStringLiteral("Label1"));
        QVERIFY(f.intro.shown());
        QVERIFY(f.game.loaded());
        QVERIFY(!f.game.shown());
        QVERIFY(!f.game.widget()->windowIcon().isNull());
        QVERIFY(!f.intro.widget()->windowIcon().isNull());
        QCOMPARE(f.random.timesSeeded(), 1);
        QVERIFY(f.program.failures.empty());
        QVERIFY(f.boxes.shown.empty());
    }

    void creditsShouldBeSeventeenLinesJoinedBySingleCarriageReturns() {
        IntroFixture f;
        const QString credits = f.open().lblservice->Caption();
        const QString expected = kCreditLines.join(kCr);
        QCOMPARE(credits.count(kCr), 16);
        QCOMPARE(credits.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            QVERIFY2(credits.at(i) == expected.at(i),
                     qPrintable(QStringLiteral("code unit %1").arg(i)));
    }

    void creditsShouldRiseTwentyTwipsATickAndRestAfterTick183() {
        IntroFixture f;
        auto& intro = f.open();
        ui::Label& label = *intro.lblservice;
        f.clock.advance(99);
        QCOMPARE(label.Top(), 4320.0f);
        QCOMPARE(label.Height(), 255.0f);
        f.clock.advance(1);
        QCOMPARE(label.Top(), 3980.0f);
        QCOMPARE(label.Height(), 10.0f);
        for (int tick = 2; tick <= 182; ++tick) {
            f.clock.advance(100);
            QCOMPARE(label.Top(), 4000.0f - 20.0f * static_cast<float>(tick));
            QCOMPARE(label.Top() + label.Height(), 3990.0f);
        }
        QCOMPARE(label.Top(), 360.0f);
        QCOMPARE(label.Height(), 3630.0f);
        QCOMPARE(intro.tmrscroll->Interval(), 100);
        f.clock.advance(100);
        QCOMPARE(intro.tmrscroll->Interval(), 0);
        f.clock.advance(60'000);
        QCOMPARE(label.Top(), 360.0f);
        QCOMPARE(label.Height(), 3630.0f);
        QCOMPARE(intro.ScrollTop, std::int16_t{360});
    }

    void creditsShouldShowCentredLinesOnlyInsideTheLabel() {
        IntroFixture f;
        auto& intro = f.open();
        const int labelCentre = ui::pixels(960 + 6135 / 2.0);
        // Before the first tick only the first line shows, at the label's design place.
        QRect ink = inkIn(intro);
        QVERIFY(ink.top() >= ui::pixels(4320));
        QVERIFY(ink.bottom() < ui::pixels(4320 + 255));
        QVERIFY(std::abs(ink.center().x() - labelCentre) <= 3);

        f.clock.advance(100 * 183);
        ink = inkIn(intro);
        QVERIFY(ink.top() >= ui::pixels(360));
        QVERIFY(ink.top() < ui::pixels(360) + 10);
        QVERIFY(std::abs(ink.center().x() - labelCentre) <= 3);
        // The text is taller than the label: its lines fill it and are cut off at its bottom.
        QVERIFY(ink.bottom() < ui::pixels(3990));
        QVERIFY(ink.bottom() > ui::pixels(3990) - 20);
    }

    void buttonShouldBlinkLightMagentaThenLightGreenEveryHalfSecond() {
        IntroFixture f;
        ui::CommandButton& button = *f.open().cmdservice;
        QColor before = button.BackColor();
        for (int blink = 0; blink < 4; ++blink) {
            f.clock.advance(499);
            QCOMPARE(button.BackColor(), before);
            f.clock.advance(1);
            const QColor expected = blink % 2 == 0 ? kLightMagenta : kLightGreen;
            QCOMPARE(button.BackColor(), expected);
            const QColor face = faceOf(button);
            QVERIFY2(near(face, expected), qPrintable(face.name()));
            before = expected;
        }
    }

    void buttonShouldShowTheGameWindowBeforeHidingTheIntroWhileTheRollGoesOn() {
        IntroFixture f;
        auto& intro = f.open();
        f.clock.advance(100 * 50);
        const QString firstWord = f.game.lbllumi(0).Caption();
        const float firstWordTop = f.game.lbllumi(0).Top();
        const long long drawn = f.random.drawn();
        bool introShownWhenGameShowed = false;
        ShowWatch watch(f.game.widget(), [&] { introShownWhenGameShowed = f.intro.shown(); });

        f.clickService();
        QVERIFY(introShownWhenGameShowed);
        QVERIFY(f.game.shown());
        QVERIFY(!intro.shown());
        QCOMPARE(f.random.timesSeeded(), 1);
        QCOMPARE(f.random.drawn(), drawn);

        // Hidden, the intro rolls to its end and keeps blinking, and leaves the game alone.
        f.clock.advance(100 * 133);
        QCOMPARE(intro.lblservice->Top(), 360.0f);
        QCOMPARE(intro.tmrscroll->Interval(), 0);
        const std::int16_t blink = intro.BlinkState;
        f.clock.advance(500);
        QVERIFY(intro.BlinkState != blink);
        QCOMPARE(f.game.lbllumi(0).Caption(), firstWord);
        QCOMPARE(f.game.lbllumi(0).Top(), firstWordTop);
        QVERIFY(!f.game.tmrlumi->Enabled());
        QVERIFY(f.program.failures.empty());
    }
};

QTEST_MAIN(IntroWindow)
#include "tst_intro.moc"
