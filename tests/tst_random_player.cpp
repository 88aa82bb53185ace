#include "support/random_player.h"

#include <QTest>

namespace {

// Other seeds and longer runs come from the environment, e.g.
// LUMIVEX_SEEDS=7,8 LUMIVEX_EVENTS=2000000 tst_random_player
QList<std::uint32_t> seeds() {
    const QString given = qEnvironmentVariable("LUMIVEX_SEEDS");
    if (given.isEmpty())
        return {20240611u, 7u};
    QList<std::uint32_t> list;
    for (const QString& seed : given.split(QLatin1Char(','), Qt::SkipEmptyParts))
        list << seed.trimmed().toUInt();
    return list;
}

long long eventsPerRun() {
    bool ok = false;
    const long long given = qEnvironmentVariable("LUMIVEX_EVENTS").toLongLong(&ok);
    return ok && given > 0 ? given : 200'000;
}

} // namespace

class RandomPlay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void everyInvariantShouldHoldWhateverThePlayerDoes_data() {
        QTest::addColumn<std::uint32_t>("seed");
        for (const std::uint32_t seed : seeds())
            QTest::addRow("seed %u", seed) << seed;
    }

    void everyInvariantShouldHoldWhateverThePlayerDoes() {
        QFETCH(std::uint32_t, seed);
        const long long events = eventsPerRun();
        RandomPlayer player(seed, {});
        for (long long n = 0; n < events; ++n) {
            const QString what = player.step();
            const QString problem = player.check();
            if (!problem.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, event %2 (%3): %4 -- run again with "
                                                "LUMIVEX_SEEDS=%1 LUMIVEX_EVENTS=%5")
                                     .arg(seed)
                                     .arg(n)
                                     .arg(what, problem)
                                     .arg(n + 1)));
        }

        const PlayerStats& stats = player.stats();
        qInfo("seed %u: %lld events, %lld windows opened, %lld starts, %lld hits, %lld super "
              "combos, %lld level clears (%lld after a Game Over), %lld game overs, %lld late "
              "syllables, %.1f h of virtual time",
              seed, stats.events, stats.sessions, stats.starts, stats.hits, stats.superCombos,
              stats.levelClears, stats.clearsAfterGameOver, stats.gameOvers, stats.lateCommits,
              static_cast<double>(stats.virtualMs) / 3.6e6);
        // The run proves something only if the player really played.
        if (events >= 200'000) {
            QVERIFY(stats.hits > 1000);
            QVERIFY(stats.superCombos > 0);
            QVERIFY(stats.levelClears > 0);
            QVERIFY(stats.clearsAfterGameOver > 0);
            QVERIFY(stats.gameOvers > 0);
            QVERIFY(stats.sessions > 1);
            QVERIFY(stats.lateCommits > 0);
            QCOMPARE(stats.clicks.size(), std::size_t{8});
        }
    }
};

QTEST_MAIN(RandomPlay)
#include "tst_random_player.moc"
