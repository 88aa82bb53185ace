#include "support/intro_fixture.h"

#include <QApplication>
#include <QDir>
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
};

QTEST_MAIN(Startup)
#include "tst_startup.moc"
