#include "support/game_fixture.h"

#include <QTest>

class Smoke : public QObject {
    Q_OBJECT
private slots:
    void startShowsSixWords() {
        GameFixture f;
        auto& w = f.open();
        QCOMPARE(w.lbllumi(0).Caption(), QStringLiteral("호츨기"));
        f.click(*w.cmdstart);
        QVERIFY(w.lbllumi(3).Visible());
        QCOMPARE(w.lblbonus->Caption(), QStringLiteral("10"));
        f.random.push({0, 0, 0, 0, 0, 0});
        f.clock.advance(50);
        f.type(QStringLiteral("호츨기"));
        f.random.push(GameFixture::pick(1));
        f.pressEnter();
        QCOMPARE(w.lblscore->Caption(), QStringLiteral("1"));
        QCOMPARE(w.lbllumi(0).Caption(), QStringLiteral("컴퓨터"));
    }
};

QTEST_MAIN(Smoke)
#include "tst_smoke.moc"
