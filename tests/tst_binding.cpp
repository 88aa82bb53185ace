#include "ui/controls.h"
#include "ui/errors.h"
#include "ui/numbers.h"

#include <QRadioButton>
#include <QTest>

#include <vector>

namespace {

// A window with one frame of two options, each of which logs its click step.
class Bench final : public ui::Form {
public:
    explicit Bench(ui::Services& services) : ui::Form(services, QStringLiteral("bench")) {}
    ui::OptionButton* a = nullptr;
    ui::OptionButton* b = nullptr;
    QStringList log;
    bool failInB = false;

protected:
    void build() override {
        setWindow(QStringLiteral("Bench"), 3000, 2000, QColor(192, 192, 192));
        auto& frame = add<ui::Frame>(*this, QStringLiteral("fra"), QStringLiteral("Group"),
                                     ui::WindowedProps{{120, 120, 2400, 1200}, {}, 0});
        a = &add<ui::OptionButton>(frame, QStringLiteral("a"), QStringLiteral("A"),
                                   ui::WindowedProps{{120, 300, 1500, 252}, {}, 1});
        b = &add<ui::OptionButton>(frame, QStringLiteral("b"), QStringLiteral("B"),
                                   ui::WindowedProps{{120, 700, 1500, 252}, {}, 2});
        a->onClick([this] { log << QStringLiteral("a"); });
        b->onClick([this] {
            if (failInB)
                throw ui::OverflowError(QStringLiteral("in b"));
            log << QStringLiteral("b");
        });
    }
    void Form_Load() override {}
};

struct Rig {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
};

// Ticks of one timer as the clock times at which they ran.
struct TickLog {
    std::vector<std::int64_t> at;
    std::function<void()> recorder(const ui::ManualClock& clock) {
        return [this, &clock] { at.push_back(clock.now()); };
    }
};

void clickRadio(ui::OptionButton& option) {
    QTest::mouseClick(option.radio(), Qt::LeftButton, {}, QPoint(6, option.radio()->height() / 2));
}

} // namespace

class Binding : public QObject {
    Q_OBJECT
private slots:
    void manualClockShouldFireDueTimersInTimeOrder() {
        Rig rig;
        Bench form(rig.services);
        QStringList order;
        ui::Timer a(form, QStringLiteral("a"), 300, true);
        ui::Timer b(form, QStringLiteral("b"), 200, true);
        ui::Timer c(form, QStringLiteral("c"), 500, true);
        for (ui::Timer* t : {&a, &b, &c})
            t->onTimer(
                [&, t] { order << QStringLiteral("%1@%2").arg(t->name()).arg(rig.clock.now()); });
        rig.clock.advance(1000);
        // On a tie, the timer that was scheduled earlier goes first.
        QCOMPARE(order, QStringList({"b@200", "a@300", "b@400", "c@500", "a@600", "b@600", "b@800",
                                     "a@900", "c@1000", "b@1000"}));
    }

    void timerShouldRestartItsPeriodWhenSwitchedOnOrItsIntervalChanges() {
        Rig rig;
        Bench form(rig.services);
        TickLog ticks;
        ui::Timer t(form, QStringLiteral("t"), 100, true);
        t.onTimer(ticks.recorder(rig.clock));

        rig.clock.advance(70);
        t.setEnabled(false);
        rig.clock.advance(100);
        t.setEnabled(true); // at 170
        rig.clock.advance(130);
        t.setInterval(50); // at 300, while running
        rig.clock.advance(60);
        QCOMPARE(ticks.at, std::vector<std::int64_t>({270, 350}));

        t.setInterval(0);
        rig.clock.advance(1000);
        QCOMPARE(ticks.at.size(), std::size_t(2));
        QVERIFY(t.Enabled() && !t.running());
        t.setInterval(100); // at 1360: still switched on, so it starts again
        rig.clock.advance(100);
        QCOMPARE(ticks.at.back(), std::int64_t(1460));
    }

    void formTimersShouldDropTheirTicksWhileItsMessageBoxIsOpen() {
        Rig rig;
        Bench owner(rig.services);
        Bench other(rig.services);
        TickLog ownerTicks, otherTicks;
        ui::Timer boxTimer(owner, QStringLiteral("boxTimer"), 100, true);
        ui::Timer otherTimer(other, QStringLiteral("otherTimer"), 100, true);
        otherTimer.onTimer(otherTicks.recorder(rig.clock));
        boxTimer.onTimer([&] {
            ownerTicks.at.push_back(rig.clock.now());
            if (ownerTicks.at.size() == 1)
                owner.MsgBox(QStringLiteral("prompt"), QStringLiteral("title"));
        });
        // The player answers the box 350 ms after it opened.
        rig.boxes.whileOpen = [&](const auto&) { rig.clock.advance(350); };

        rig.clock.advance(100);
        QCOMPARE(rig.boxes.shown.size(), std::size_t(1));
        QVERIFY(!owner.messageBoxOpen());
        QCOMPARE(ownerTicks.at, std::vector<std::int64_t>({100}));
        // Another window's timers go on as usual.
        QCOMPARE(otherTicks.at, std::vector<std::int64_t>({100, 200, 300, 400}));

        // The ticks missed while the box was open are gone, and the period goes on unchanged.
        rig.clock.advance(49);
        QCOMPARE(ownerTicks.at.size(), std::size_t(1));
        rig.clock.advance(1);
        QCOMPARE(ownerTicks.at, std::vector<std::int64_t>({100, 500}));
    }

    void optionSelectionShouldRunTheClickStepOnlyWhenItChanges() {
        Rig rig;
        Bench form(rig.services);
        form.Show();
        QVERIFY(!form.a->Value() && !form.b->Value());

        form.dispatch([&] {
            form.log << QStringLiteral("before");
            form.b->setValue(true);
            form.log << QStringLiteral("after");
        });
        QCOMPARE(form.log, QStringList({"before", "b", "after"}));
        QVERIFY(form.b->Value() && !form.a->Value());

        form.log.clear();
        form.b->setValue(true);
        clickRadio(*form.b);
        QVERIFY(form.log.isEmpty());

        clickRadio(*form.a);
        QCOMPARE(form.log, QStringList({"a"}));
        QVERIFY(form.a->Value() && !form.b->Value());

        // An error in the nested step ends the step that made the selection.
        form.log.clear();
        form.failInB = true;
        form.dispatch([&] {
            form.b->setValue(true);
            form.log << QStringLiteral("after");
        });
        QVERIFY(form.log.isEmpty());
        QCOMPARE(rig.program.failures, std::vector<QString>({"Overflow: in b"}));
        QCOMPARE(rig.program.status(), 1);
    }

    void numbersShouldStayInRangeAndReadAndWriteCaptions() {
        QCOMPARE(ui::add16(32737, 30), std::int16_t(32767));
        QCOMPARE(ui::add16(-32768, 0), std::int16_t(-32768));
        QVERIFY_THROWS_EXCEPTION(ui::OverflowError, ui::add16(32767, 1));
        QVERIFY_THROWS_EXCEPTION(ui::OverflowError, ui::add16(-32768, -1));

        QVERIFY_THROWS_EXCEPTION(ui::TypeMismatchError, ui::numberOf(QStringLiteral("ten")));
        QVERIFY_THROWS_EXCEPTION(ui::TypeMismatchError, ui::numberOf(QString()));

        QCOMPARE(ui::textOf(ui::numberOf(QStringLiteral("10")) - 1), QStringLiteral("9"));
        QCOMPARE(ui::textOf(ui::numberOf(QStringLiteral("1")) - 1), QStringLiteral("0"));
        QCOMPARE(ui::textOf(ui::numberOf(QStringLiteral("0")) - 1), QStringLiteral("-1"));
        QCOMPARE(ui::textOf(ui::numberOf(QStringLiteral("139")) + 1), QStringLiteral("140"));
        QCOMPARE(ui::textOf(-0.0), QStringLiteral("0"));
    }
};

QTEST_MAIN(Binding)
#include "tst_binding.moc"
