// The binding under the windows: timers, window arithmetic, the random source, the text cursor,
// and what a screen reader reads.
#include "support/rig.h"

#include "ui/errors.h"
#include "ui/numbers.h"

#include <QAccessible>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

using namespace Qt::StringLiterals;

class Binding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void timersShouldRestartWhenSwitchedOnOrChangedAndWaitForTheirWindowsBox() {
        Rig r;
        ui::Form& owner = r.open();
        QStringList ticks;
        ui::Timer a(owner, u"a"_s, 100, true);
        ui::Timer b(r.intro, u"b"_s, 200, true);
        b.onTimer([&] { ticks << u"b@%1"_s.arg(r.clock.now()); });
        // The box opens at 100, and the player answers it 350 ms later: the ticks that fell
        // due meanwhile are gone, and only the box's own window waits.
        a.onTimer([&] {
            ticks << u"a@%1"_s.arg(r.clock.now());
            if (ticks.size() == 1)
                owner.MsgBox(u"prompt"_s, u"title"_s);
        });
        r.boxes.whileOpen = [&](const auto&) { r.clock.advance(350); };
        r.clock.advance(500);
        QCOMPARE(ticks, QStringList({"a@100", "b@200", "b@400", "a@500"}));
        ticks.clear();
        a.setEnabled(false);
        b.setInterval(50); // at 500, running: a full period from now
        r.clock.advance(60);
        b.setInterval(0);
        QVERIFY(b.Enabled() && !b.running());
        r.clock.advance(1000);
        b.setInterval(100); // still switched on, so it starts again
        r.clock.advance(100);
        QCOMPARE(ticks, QStringList({"b@550", "b@1660"}));
    }

    void windowArithmeticShouldStayInRange() {
        QVERIFY(ui::add16(32737, 30) == 32767 && ui::add16(-32768, 0) == -32768);
        QVERIFY_THROWS_EXCEPTION(ui::OverflowError, ui::add16(32767, 1));
        QVERIFY_THROWS_EXCEPTION(ui::OverflowError, ui::add16(-32768, -1));
        QVERIFY_THROWS_EXCEPTION(ui::TypeMismatchError, ui::numberOf(u"ten"_s));
        QVERIFY_THROWS_EXCEPTION(ui::TypeMismatchError, ui::numberOf(u"inf"_s));
        QVERIFY(ui::textOf(-0.0) == u"0"_s && ui::textOf(2.5) == u"2.5"_s);
        QVERIFY_THROWS_EXCEPTION(ui::OverflowError, ui::toInt32(2147483648.0));
    }

    void systemRandomShouldSpreadEvenlyBelowOne() {
        ui::SystemRandom random;
        random.seedFromClock();
        std::array<int, 50> counts{};
        for (int n = 0; n < 50'000; ++n) {
            const float r = random.next();
            QVERIFY(r >= 0 && r < 1);
            ++counts[static_cast<std::size_t>(r * 50)];
        }
        // 1000 expected each, with a standard deviation near 31.
        for (const int count : counts)
            QVERIFY(count > 850 && count < 1150);
    }

    void textCursorShouldRestTenSecondsAfterTheLastKey() {
        QStyleHints* hints = QGuiApplication::styleHints();
        hints->setCursorFlashTime(1000);
        Rig r;
        game::frmlumi& w = r.open();
        r.type(u"ab"_s);
        r.clock.advance(ui::TextBox::kCaretRestMs - 1);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        r.clock.advance(1);
        QCOMPARE(hints->cursorFlashTime(), 0);
        r.clock.advance(60'000);
        QCOMPARE(hints->cursorFlashTime(), 0);
        r.compose(QString(), u"가"_s);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        QCOMPARE(w.txtlumi->lineEdit()->text(), u"ab"_s);
    }

    void screenReaderShouldReadEveryControlAndWhereTheWordsAre() {
        Rig r;
        game::frmlumi& w = r.open({Rig::pick(1), 0, 0, 0, 0, 0});
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.widget());
        QHash<QString, QAccessibleInterface*> read;
        for (int i = 0; i < window->childCount(); ++i) {
            read.insert(window->child(i)->text(QAccessible::Name), window->child(i));
            QVERIFY(window->child(i)->parent() == window &&
                    window->indexOfChild(window->child(i)) == i);
        }
        for (const QString& name : {u"Start"_s, u"자판(Keybord)"_s, u"Smile"_s, u"Typed word"_s})
            QVERIFY2(read.contains(name), qPrintable(name));
        QAccessibleInterface* word = read.value(u"컴퓨터"_s);
        QVERIFY(word->state().invisible && word->role() == QAccessible::StaticText);
        r.click(*w.cmdstart);
        const QRect drawn = w.lbllumi(0).pixelRect();
        QCOMPARE(word->rect(), QRect(w.widget()->mapToGlobal(drawn.topLeft()), drawn.size()));
        QVERIFY(!word->state().invisible &&
                read.value(u"Lives"_s)->text(QAccessible::Value) == u"10"_s);
    }
};

QTEST_MAIN(Binding)
#include "tst_binding.moc"
