#include "support/intro_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the body with the working directory moved, and moves it back whatever happens.
class WorkingIn {
public:
    explicit WorkingIn(const QString& folder) : home_(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~WorkingIn() { QDir::setCurrent(home_); }

private:
    QString home_;
};

QByteArray noise(qsizetype size) {
    QRandomGenerator generator(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

} // namespace

class Startup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void startBesideTheIconShouldShowTheIntroWithTheGameLoadedAndHidden() {
        IntroFixture f;
        auto& intro = f.open();
        QVERIFY(intro.shown());
        QCOMPARE(intro.Caption(), QStringLiteral("머 릿 말 "));
        QCOMPARE(intro.widget()->size(), QSize(583, 407));
        QCOMPARE(IntroFixture::look(intro.widget()).pixelColor(2, 2), QColor(192, 192, 192));
        QVERIFY(f.game.loaded());
        QVERIFY(!f.game.shown());
        QCOMPARE(f.random.timesSeeded(), 1);

        QWidget* picture = intro.picservice->widget();
        QCOMPARE(intro.widget()->focusWidget(), picture);
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), picture);
        QTest::keyClick(picture, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), intro.cmdservice->widget());

        // Its frame's close box ends the program: nothing else would ever show the game window.
        intro.widget()->close();
        QVERIFY(f.program.ended());
        QCOMPARE(f.program.status(), 0);
    }

    void startWithoutTheIconShouldShowNoWindowAndNeverLoadTheGame() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        IntroFixture f;
        {
            WorkingIn there(folder.path());
            f.open();
        }
        QCOMPARE(f.program.failures.size(), std::size_t{1});
        QCOMPARE(f.program.status(), 1);
        const QString& report = f.program.failures.front();
        QVERIFY2(report.contains(QStringLiteral("\"NoviIcon.ico\"")), qPrintable(report));
        QVERIFY2(report.contains(QDir(folder.path()).canonicalPath()), qPrintable(report));
        QVERIFY(!f.intro.shown());
        QVERIFY(!f.game.loaded());
        QCOMPARE(f.random.timesSeeded(), 0);
        for (const QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(!window->isVisible());

        // The blink timer, enabled since the window was built, never runs a step after the end.
        const QColor face = f.intro.cmdservice->BackColor();
        f.clock.advance(10'000);
        QCOMPARE(f.intro.cmdservice->BackColor(), face);
        QCOMPARE(f.program.failures.size(), std::size_t{1});
    }

    void programShouldEndWithStatusOneNamingFileFolderAndCause_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing") << false << QByteArray() << QStringLiteral("does not exist");
        QTest::newRow("empty") << true << QByteArray() << QStringLiteral("empty");
        QTest::newRow("corrupt") << true << noise(3000) << QStringLiteral("not an icon");
    }

    void programShouldEndWithStatusOneNamingFileFolderAndCause() {
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        QFETCH(QString, cause);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        if (present) {
            QFile icon(folder.filePath(QStringLiteral("NoviIcon.ico")));
            QVERIFY(icon.open(QIODevice::WriteOnly));
            QCOMPARE(icon.write(content), content.size());
        }

        QProcess lumivex;
        lumivex.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        lumivex.setProcessEnvironment(environment);
        lumivex.start(QStringLiteral(LUMIVEX_EXECUTABLE), {});
        QVERIFY(lumivex.waitForFinished(10'000));
        QCOMPARE(lumivex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lumivex.exitCode(), 1);

        const QStringList lines = QString::fromLocal8Bit(lumivex.readAllStandardError())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList reports = lines.filter(QRegularExpression(QStringLiteral("^lumivex: ")));
        QCOMPARE(reports.size(), 1);
        const QString& report = reports.front();
        QVERIFY2(report.contains(QStringLiteral("\"NoviIcon.ico\"")), qPrintable(report));
        QVERIFY2(report.contains(QDir(folder.path()).canonicalPath()), qPrintable(report));
        QVERIFY2(report.contains(cause), qPrintable(report));
        QVERIFY(lumivex.readAllStandardOutput().isEmpty());
        // Nothing is written beside the icon.
        const auto entries =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(entries.size(), present ? 1 : 0);
    }
};

QTEST_MAIN(Startup)
#include "tst_startup.moc"
