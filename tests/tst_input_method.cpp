// What Korean input methods deliver, in the orders they deliver it; tst_typing covers the three
// usual orders with composed syllables.
#include "support/game_fixture.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const float kComputer = GameFixture::pick(1);

void sendInputMethod(GameFixture& f, const QString& commit, const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(f.window->txtlumi->lineEdit(), &event);
}

QString decomposed(const QString& text) { return text.normalized(QString::NormalizationForm_D); }

} // namespace

class InputMethod : public QObject {
    Q_OBJECT
private slots:
    void decomposedJamoShouldHitTheComposedWord() {
        GameFixture f;
        game::frmlumi& w = f.open({kComputer, 0, 0, 0, 0, 0});
        f.click(*w.cmdstart);
        const QString jamo = decomposed(u"컴퓨터"_s);
        QCOMPARE(jamo.size(), 7);

        sendInputMethod(f, jamo, QString());
        f.random.push(kComputer);
        f.pressSpace();
        QCOMPARE(w.lblscore->Caption(), u"1"_s);
        QCOMPARE(f.entryText(), u" "_s);

        // Pending in decomposed form when Enter comes; the engine then flushes it composed.
        sendInputMethod(f, decomposed(u"컴퓨"_s), decomposed(u"터"_s));
        f.random.push(kComputer);
        f.pressEnter();
        QCOMPARE(w.lblscore->Caption(), u"2"_s);
        sendInputMethod(f, u"터"_s, QString());
        QCOMPARE(f.entryText(), QString());
        QCOMPARE(w.CN->Caption(), u"2"_s);
    }

    void lateCommitShouldBeDroppedOnlyWhenItIsTheJudgedSyllable() {
        GameFixture f;
        game::frmlumi& w = f.open({kComputer, 0, 0, 0, 0, 0});
        f.click(*w.cmdstart);
        const long long drawn = f.random.drawn();

        // A wrong word with its last syllable pending: judged whole, and its syllable does not
        // come back.
        sendInputMethod(f, u"컴퓨"_s, u"타"_s);
        f.pressSpace();
        QCOMPARE(w.lblscore->Caption(), u"0"_s);
        QCOMPARE(f.random.drawn(), drawn);
        sendInputMethod(f, u"타"_s, QString());
        QCOMPARE(f.entryText(), u" "_s);

        // The late syllable arrives in one event with the first jamo of the next word.
        sendInputMethod(f, u"컴퓨"_s, u"터"_s);
        f.random.push(kComputer);
        f.pressSpace();
        QCOMPARE(w.lblscore->Caption(), u"1"_s);
        sendInputMethod(f, u"터"_s, u"ㅋ"_s);
        QCOMPARE(f.entryText(), u" "_s);
        sendInputMethod(f, u"컴"_s, u"퓨"_s);
        sendInputMethod(f, u"퓨"_s, u"터"_s);
        f.random.push(kComputer);
        f.pressEnter();
        QCOMPARE(w.lblscore->Caption(), u"2"_s);
        QCOMPARE(f.entryText(), QString());

        // A key typed before the late syllable shows the input method had nothing more to
        // send: what it commits now is the start of a new word and stays.
        QTest::keyClick(w.txtlumi->lineEdit(), Qt::Key_A);
        sendInputMethod(f, u"터"_s, QString());
        QCOMPARE(f.entryText(), u"a터"_s);
        f.pressEnter();
        QCOMPARE(w.lblscore->Caption(), u"2"_s);
        QCOMPARE(f.entryText(), QString());
    }
};

QTEST_MAIN(InputMethod)
#include "tst_input_method.moc"
