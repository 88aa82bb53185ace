#include "game/frmlumi.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kChildMode = "LUMIVEX_ERROR_POLICY_CHILD";

// The real error policy on a game whose next tick overflows: SpeedChr + 30 leaves the 16-bit
// range. Returning from here at all means the policy let the program go on.
int runOverflowingGame() {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    random.repeatWhenEmpty(0.5f);
    ui::RecordingMessageBoxes boxes;
    ui::QtProgram program;
    ui::Services services{clock, random, boxes, program};
    game::frmlumi window(services);
    window.Show();
    QTest::mouseClick(window.cmdstart->button(), Qt::LeftButton);
    window.SpeedChr = 32767;
    clock.advance(50);
    return 3;
}

} // namespace

class ErrorPolicy : public QObject {
    Q_OBJECT
private slots:
    void overflowInAStepShouldEndTheProgramWithOneMessage() {
        QTemporaryDir runtime; // keeps Qt's note about a missing runtime folder off stderr
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildMode), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));

        const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 1);
        QCOMPARE(errors, QStringLiteral("lumivex: Overflow: 32767 + 30 leaves the 16-bit range\n"));
        QVERIFY(child.readAllStandardOutput().isEmpty());
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (qEnvironmentVariableIsSet(kChildMode))
        return runOverflowingGame();
    ErrorPolicy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_error_policy.moc"
