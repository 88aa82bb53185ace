#include "support/lumivex_process.h"
#include "support/random_player.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void click(ui::CommandButton& button) { QTest::mouseClick(button.button(), Qt::LeftButton); }

void click(ui::OptionButton& option) {
    QRadioButton* radio = option.radio();
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

// Types the word on the first label and ends it with Enter.
void typeFirstWord(game::frmlumi& game) {
    QLineEdit* box = game.txtlumi->lineEdit();
    for (const QChar ch : game.lbllumi(0).Caption()) {
        if (ch.unicode() < 128)
            QTest::keyClick(box, ch.toLatin1());
        else // as an input method delivers a syllable
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(box, Qt::Key_Return);
}

std::array<float, game::frmlumi::kWords> topsOf(const game::frmlumi& game) {
    std::array<float, game::frmlumi::kWords> tops{};
    for (int i = 0; i < game::frmlumi::kWords; ++i)
        tops[static_cast<std::size_t>(i)] = game.lbllumi(i).Top();
    return tops;
}

// The next message box is answered, by its OK button or by its frame, as soon as its own
// event loop runs.
void answerNextBox(bool byFrame, QString& title, int tries = 100) {
    QTimer::singleShot(0, [byFrame, &title, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (tries > 0)
                answerNextBox(byFrame, title, tries - 1);
            return;
        }
        title = box->windowTitle();
        if (byFrame)
            box->close();
        else
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
}

// Both windows with Qt's own message boxes, on a manual clock.
struct RealBoxes {
    ui::ManualClock clock;
    SeededRandom random{11};
    ui::QtMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
    app::Windows windows{services};
    game::frmlumi& game = windows.frmlumi;
};

} // namespace

class Closing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void closingEitherWindowShouldEndTheProgramInEveryState_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("boxes");
        QTest::newRow("intro shown") << QStringLiteral("intro shown") << 0;
        QTest::newRow("loaded") << QStringLiteral("loaded") << 0;
        QTest::newRow("running") << QStringLiteral("running") << 0;
        QTest::newRow("stopped") << QStringLiteral("stopped") << 0;
        QTest::newRow("game over") << QStringLiteral("game over") << 1;
        QTest::newRow("Game Over box open") << QStringLiteral("game over box open") << 1;
        QTest::newRow("level clear box open") << QStringLiteral("level clear box open") << 1;
    }

    void closingEitherWindowShouldEndTheProgramInEveryState() {
        QFETCH(QString, state);
        QFETCH(int, boxes);
        Session s(5);
        game::frmlumi& game = s.game;
        ui::Form* closed = &s.game;
        const bool boxOpen = state.endsWith(QLatin1String("box open"));
        if (boxOpen)
            s.boxes.whileOpen = [&](const ui::RecordingMessageBoxes::Shown&) {
                game.widget()->close();
            };
        s.windows.open();

        if (state == QLatin1String("intro shown")) {
            closed = &s.intro;
            s.clock.advance(700);
        } else {
            click(*s.intro.cmdservice);
            click(*game.optenglish);
            if (state == QLatin1String("level clear box open")) {
                for (int hit = 0; hit < 80; ++hit)
                    typeFirstWord(game);
            } else if (state != QLatin1String("loaded")) {
                click(*game.cmdstart);
                const bool over = state.startsWith(QLatin1String("game over"));
                s.clock.advance(over ? 60'000 : 2000);
                if (state == QLatin1String("stopped"))
                    click(*game.cmdstop);
            }
        }
        if (!boxOpen) {
            QVERIFY(closed->shown());
            closed->widget()->close();
        }
        QCOMPARE(s.boxes.shown.size(), static_cast<std::size_t>(boxes));
        QVERIFY(s.program.ended());
        QCOMPARE(s.program.status(), 0);
        QVERIFY(s.program.failures.empty());
        QVERIFY(!closed->shown());

        // No step of either window runs after the end: no tick, no blink, no typing, no click.
        const long long drawn = s.random.drawn();
        const auto tops = topsOf(game);
        const QColor face = s.intro.cmdservice->BackColor();
        const QString score = game.lblscore->Caption();
        s.clock.advance(60'000);
        typeFirstWord(game);
        if (game.cmdstart->Enabled())
            click(*game.cmdstart);
        QCOMPARE(s.random.drawn(), drawn);
        QVERIFY(topsOf(game) == tops);
        QCOMPARE(s.intro.cmdservice->BackColor(), face);
        QCOMPARE(game.lblscore->Caption(), score);
        QCOMPARE(s.boxes.shown.size(),
                 std::size_t{boxOpen || state == QLatin1String("game over") ? 1u : 0u});
        QVERIFY(s.program.failures.empty());
    }

    void messageBoxClosedByItsFrameShouldCountAsOk() {
        RealBoxes r;
        game::frmlumi& game = r.game;
        r.windows.open();
        click(*r.windows.frmservices.cmdservice);
        click(*game.optenglish);
        click(*game.cmdstart);

        QString title;
        answerNextBox(/*byFrame=*/true, title);
        r.clock.advance(60'000);
        QCOMPARE(title, QStringLiteral("Game Over!"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(game.lblbonus->Caption(), QStringLiteral("0"));
        QVERIFY(!game.tmrlumi->Enabled());
        QVERIFY(game.cmdstart->Enabled());

        // The game goes on: a new game runs, and a level clear closed by its frame goes on too.
        click(*game.cmdstart);
        QCOMPARE(game.lblbonus->Caption(), QStringLiteral("10"));
        auto tops = topsOf(game);
        r.clock.advance(1000);
        QVERIFY(topsOf(game) != tops);
        click(*game.cmdstop);
        r.clock.advance(1500); // the end of any miss flash: the combo counts from 0 again
        for (int hit = 0; hit < 79; ++hit)
            typeFirstWord(game);
        QCOMPARE(game.ComboCount, std::int16_t{79});
        title.clear();
        answerNextBox(/*byFrame=*/true, title);
        typeFirstWord(game);
        QCOMPARE(title, QStringLiteral("레벨 클리어!"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(game.optfast->Value());
        QVERIFY(game.SpeedChr >= 50);
        QVERIFY(game.tmrlumi->Enabled());
        tops = topsOf(game);
        r.clock.advance(1000);
        QVERIFY(topsOf(game) != tops);

        // And the OK button does just the same.
        title.clear();
        answerNextBox(/*byFrame=*/false, title);
        r.clock.advance(120'000);
        QCOMPARE(title, QStringLiteral("Game Over!"));
        QVERIFY(!game.tmrlumi->Enabled());
        QVERIFY(r.program.failures.empty());
        QVERIFY(!r.program.ended());
    }

    void twoProgramsShouldRunSideBySideWithoutDisturbingEachOther() {
        // Both in one folder, beside one icon: they share nothing but what they read.
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QFile::copy(QStringLiteral("NoviIcon.ico"),
                            folder.filePath(QStringLiteral("NoviIcon.ico"))));
        QProcess first;
        QProcess second;
        startLumivex(first, folder.path());
        startLumivex(second, folder.path());
        QVERIFY(first.waitForStarted());
        QVERIFY(second.waitForStarted());
        // Give both time to load their windows and run for a while.
        QVERIFY(!first.waitForFinished(1500));
        QVERIFY(!second.waitForFinished(0));
        first.terminate();
        second.terminate();
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(second.waitForFinished(5000));
        for (QProcess* lumivex : {&first, &second}) {
            // Ended by the signal, not by any failure of its own.
            QCOMPARE(lumivex->exitStatus(), QProcess::CrashExit);
            const QStringList errors = errorLines(*lumivex);
            QVERIFY2(errors.filter(QStringLiteral("lumivex:")).isEmpty(),
                     qPrintable(errors.join('\n')));
            QVERIFY(lumivex->readAllStandardOutput().isEmpty());
        }
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("NoviIcon.ico")});
    }
};

QTEST_MAIN(Closing)
#include "tst_closing.moc"
