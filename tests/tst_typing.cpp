#include "support/game_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QStyleHints>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Types the word on lbllumi(0) and ends it with Enter, `times` times over. Each hit deals
// WordBank entry 0 in its place, so the first label always shows a word that is in play.
void hitFirstWord(GameFixture& f, int times = 1) {
    for (int n = 0; n < times; ++n) {
        f.type(f.window->lbllumi(0).Caption());
        f.random.push(GameFixture::pick(0));
        f.pressEnter();
    }
}

// One game tick in which only lbllumi(5), put just above the bottom line, moves: a miss.
void missWithLastWord(GameFixture& f) {
    game::frmlumi& w = *f.window;
    w.lbllumi(5).setTop(4790);
    const float tenTwips = 10.5f / static_cast<float>(w.SpeedChr + 30);
    f.random.push({0, 0, 0, 0, 0, tenTwips, GameFixture::pick(0)});
    f.clock.advance(50);
    QCOMPARE(f.random.pending(), std::size_t{0});
    QVERIFY(w.Poor->Visible());
}

// What an input method delivers: a committed text and the composition still pending.
void sendInputMethod(GameFixture& f, const QString& commit, const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(f.window->txtlumi->lineEdit(), &event);
}

void paste(GameFixture& f, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(f.window->txtlumi->lineEdit(), Qt::Key_V, Qt::ControlModifier);
}

QImage entryPixels(const GameFixture& f) { return f.window->txtlumi->lineEdit()->grab().toImage(); }

} // namespace

class Typing : public QObject {
    Q_OBJECT
private slots:
    void typedWordShouldHitTheFirstLabelShowingItExactly() {
        GameFixture f;
        game::frmlumi& w = f.open();
        // software on labels 1 and 2, all six hidden since no game has started.
        f.random.push({GameFixture::pick(3), GameFixture::pick(2), GameFixture::pick(2),
                       GameFixture::pick(1), GameFixture::pick(0), GameFixture::pick(18)});
        f.click(*w.optenglish);
        QCOMPARE(w.lbllumi(1).Top(), 480.0f);
        const long long drawn = f.random.drawn();

        f.type(u"Software"_s);
        f.pressEnter();
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(w.lblscore->Caption(), u"0"_s);
        QCOMPARE(w.lbllumi(1).Caption(), u"software"_s);
        QCOMPARE(f.random.drawn(), drawn);

        // Typed, a Space would end the word; pasted, the spaces stay for Enter to trim.
        paste(f, u"  software "_s);
        f.random.push(GameFixture::pick(9));
        f.pressEnter();
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(w.lblscore->Caption(), u"1"_s);
        QCOMPARE(w.lbllumi(1).Caption(), u"paradigm"_s);
        QCOMPARE(w.lbllumi(1).Top(), 0.0f);
        QVERIFY(!w.lbllumi(1).Visible());
        QCOMPARE(w.lbllumi(2).Caption(), u"software"_s);
        QVERIFY(w.Good->Visible() && w.CN->Visible());

        f.type(u"software"_s);
        f.random.push(GameFixture::pick(4));
        f.pressSpace();
        QCOMPARE(f.entryText(), u" "_s);
        QCOMPARE(w.lbllumi(2).Caption(), u"hong"_s);

        f.type(u"computer"_s);
        f.random.push(GameFixture::pick(5));
        f.pressEnter();
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(w.lbllumi(3).Caption(), u"oung"_s);
        QCOMPARE(w.CN->Caption(), u"3"_s);
    }

    void otherKeysAndWrongWordsShouldChangeNothing() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        hitFirstWord(f, 2);
        const long long drawn = f.random.drawn();

        f.type(u"호츨"_s);
        QTest::keyClick(w.txtlumi->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(f.entryText(), u"호"_s);
        f.type(u"츨기x"_s);
        QCOMPARE(f.entryText(), u"호츨기x"_s);
        f.pressEnter();
        f.pressSpace();
        f.pressEnter();
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(f.random.drawn(), drawn);
        QCOMPARE(w.lblscore->Caption(), u"2"_s);
        QCOMPARE(w.CN->Caption(), u"2"_s);

        hitFirstWord(f);
        QCOMPARE(w.CN->Caption(), u"3"_s);
    }

    void speedUpShouldReadTheScoreAfterEveryAdditionOfTheHit() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        w.lblscore->setCaption(u"49"_s);
        hitFirstWord(f);
        QCOMPARE(w.lblscore->Caption(), u"50"_s);
        QCOMPARE(w.SpeedChr, 15);

        w.lblscore->setCaption(u"48"_s);
        w.ComboCount = 39;
        hitFirstWord(f);
        QCOMPARE(w.lblscore->Caption(), u"149"_s);
        QCOMPARE(w.SpeedChr, 15);
    }

    void fortiethCountedHitShouldPayTheSuperCombo() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        hitFirstWord(f, 39);
        QCOMPARE(w.lblscore->Caption(), u"39"_s);
        QVERIFY(w.Good->Visible() && !w.Super->Visible());

        hitFirstWord(f);
        QCOMPARE(w.lblscore->Caption(), u"140"_s);
        QCOMPARE(w.CN->Caption(), u"40"_s);
        QVERIFY(w.Super->Visible() && !w.Good->Visible());
        QVERIFY(w.CT->Visible() && w.CN->Visible());
        QCOMPARE(w.SpeedChr, 5);
        QVERIFY(f.boxes.shown.empty());
    }

    void eightiethCountedHitShouldClearTheLevel() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        missWithLastWord(f);
        f.click(*w.cmdstop);
        // Twenty hits in the miss flash score without counting, so that the level clear lands
        // on 800.
        hitFirstWord(f, 20);
        QVERIFY(!w.CN->Visible());
        f.clock.advance(1000);

        hitFirstWord(f, 39);
        QCOMPARE(w.SpeedChr, 15); // the score passed 50
        hitFirstWord(f, 40);
        QCOMPARE(w.lblscore->Caption(), u"199"_s);
        QCOMPARE(w.CN->Caption(), u"79"_s);

        f.boxes.whileOpen = [&](const ui::RecordingMessageBoxes::Shown&) {
            QVERIFY(!w.tmrlumi->Enabled());
            QCOMPARE(w.lblscore->Caption(), u"800"_s);
            QVERIFY(w.optslow->Value());
        };
        hitFirstWord(f);
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(f.boxes.shown[0].title, u"레벨 클리어!"_s);
        QCOMPARE(f.boxes.shown[0].prompt,
                 u"Level Cleared!! - 드디어 당신은 루미벡스에 통달했습니다!다음 레벨! -"_s);
        QCOMPARE(w.lblscore->Caption(), u"800"_s);
        QCOMPARE(w.CN->Caption(), u"80"_s);
        QVERIFY(w.Super->Visible() && !w.Good->Visible());
        QVERIFY(w.optfast->Value() && !w.optslow->Value());
        QCOMPARE(w.SpeedChr, 60);
        QVERIFY(w.tmrlumi->Enabled() && w.cmdstart->Enabled());

        // The game tick runs again although the game had been stopped.
        f.random.push({0, 0, 0, 0, 0, 0});
        f.clock.advance(50);
        QCOMPARE(f.random.pending(), std::size_t{0});

        hitFirstWord(f);
        QCOMPARE(w.lblscore->Caption(), u"801"_s);
        QCOMPARE(w.CN->Caption(), u"81"_s);
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});

        // A second level clear with Fast already selected keeps the raised speed.
        f.boxes.whileOpen = nullptr;
        f.random.repeatWhenEmpty(0);
        missWithLastWord(f);
        f.clock.advance(1000);
        hitFirstWord(f, 80);
        QCOMPARE(f.boxes.shown.size(), std::size_t{2});
        QCOMPARE(w.lblscore->Caption(), u"1581"_s);
        QCOMPARE(w.SpeedChr, 70); // 60, and 10 more at 950
    }

    void missShouldKeepTheComboFromCountingUntilItsFlashEnds() {
        GameFixture f;
        game::frmlumi& w = f.open();
        f.click(*w.cmdstart);
        f.random.repeatWhenEmpty(0); // idle ticks: steps of 0
        hitFirstWord(f, 39);
        missWithLastWord(f);
        QCOMPARE(w.CN->Caption(), u"39"_s);
        QVERIFY(w.CT->Visible() && w.CN->Visible());

        hitFirstWord(f, 2);
        QCOMPARE(w.lblscore->Caption(), u"41"_s);
        QCOMPARE(w.CN->Caption(), u"39"_s);
        QVERIFY(w.Good->Visible() && !w.Super->Visible());

        f.clock.advance(950);
        QVERIFY(w.Poor->Visible() && w.CN->Visible());
        f.clock.advance(50);
        QVERIFY(!w.Poor->Visible() && !w.CT->Visible() && !w.CN->Visible());

        hitFirstWord(f);
        QCOMPARE(w.lblscore->Caption(), u"42"_s);
        QCOMPARE(w.CN->Caption(), u"1"_s);
        QVERIFY(w.CT->Visible() && w.CN->Visible());
    }

    void composedWordShouldCountWhenSpaceOrEnterEndsIt() {
        GameFixture f;
        const float computer = GameFixture::pick(1);
        game::frmlumi& w = f.open({computer, 0, 0, 0, 0, 0});
        QCOMPARE(w.lbllumi(0).Caption(), u"컴퓨터"_s);
        const QImage empty = entryPixels(f);

        // Committed before the Space.
        sendInputMethod(f, u"컴퓨터"_s, QString());
        f.random.push(computer);
        f.pressSpace();
        QCOMPARE(w.lblscore->Caption(), u"1"_s);
        QCOMPARE(f.entryText(), u" "_s);
        const QImage oneSpace = entryPixels(f);

        // Still composing the last syllable when the Space comes.
        sendInputMethod(f, u"컴퓨"_s, QString());
        sendInputMethod(f, QString(), u"터"_s);
        QCOMPARE(f.entryText(), u" 컴퓨"_s);
        f.random.push(computer);
        f.pressSpace();
        QCOMPARE(w.lblscore->Caption(), u"2"_s);
        QCOMPARE(f.entryText(), u" "_s);
        QCOMPARE(entryPixels(f), oneSpace);
        // The engine empties its composition, then the syllable arrives late.
        sendInputMethod(f, QString(), QString());
        sendInputMethod(f, u"터"_s, QString());
        QCOMPARE(f.entryText(), u" "_s);
        QCOMPARE(entryPixels(f), oneSpace);
        sendInputMethod(f, u"컴"_s, QString());
        QCOMPARE(f.entryText(), u" 컴"_s);

        sendInputMethod(f, u"퓨"_s, u"터"_s);
        f.random.push(computer);
        f.pressEnter();
        QCOMPARE(w.lblscore->Caption(), u"3"_s);
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(entryPixels(f), empty);
        QCOMPARE(w.CN->Caption(), u"3"_s);
    }

    // The desktop's blink stops ten seconds after the last key, or the last composition, and
    // the next key brings it back: an idle player's window stops waking twice a second.
    void textCursorShouldRestAfterTenSecondsWithoutTypingAndBlinkAtTheNextKey() {
        QStyleHints* hints = QGuiApplication::styleHints();
        hints->setCursorFlashTime(1000);
        GameFixture f;
        game::frmlumi& w = f.open();
        QLineEdit* entry = w.txtlumi->lineEdit();
        QTest::keyClicks(entry, u"ab"_s);
        f.clock.advance(ui::TextBox::kCaretRestMs - 1);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        QTest::keyClick(entry, Qt::Key_C);
        f.clock.advance(ui::TextBox::kCaretRestMs - 1);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        f.clock.advance(1);
        QCOMPARE(hints->cursorFlashTime(), 0);
        f.clock.advance(60000); // resting, it stays so
        QCOMPARE(hints->cursorFlashTime(), 0);

        QTest::keyClick(entry, Qt::Key_D);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        QCOMPARE(f.entryText(), u"abcd"_s);
        sendInputMethod(f, QString(), u"가"_s);
        f.clock.advance(ui::TextBox::kCaretRestMs);
        QCOMPARE(hints->cursorFlashTime(), 0);
        sendInputMethod(f, u"가"_s, QString());
        QCOMPARE(hints->cursorFlashTime(), 1000);
        QCOMPARE(f.entryText(), u"abcd가"_s);
    }
};

QTEST_MAIN(Typing)
#include "tst_typing.moc"
