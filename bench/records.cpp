// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What keeping games costs: a game's record written as a game ends (the first of a run, which
// opens and checks the file, and each one after), and the records window opened over 10,000
// games until its first paint. bench/run.sh records.
#include "records/keeper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

ui::FinishedGame played(int n) {
    ui::FinishedGame game;
    game.korean = n % 3 != 0, game.fast = n % 4 == 0, game.score = 40 + n % 300;
    game.playedMs = 90'000 + n % 60'000, game.entered = 60 + n % 50, game.hits = 55 + n % 50;
    game.characters = 3 * game.hits, game.strokes = 7 * game.hits, game.livesLost = 10;
    return game;
}

// Noted when the window has painted itself once.
struct Painted final : QObject {
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Paint && receiver == window)
            done = true;
        return false;
    }
    QObject* window = nullptr;
    bool done = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("records.sqlite"));
    QElapsedTimer clock;
    std::vector<double> writes;
    double first = 0;
    {
        records::Keeper keeper(path);
        for (int n = 0; n < 200; ++n) {
            clock.start();
            keeper.keep(played(n));
            (n == 0 ? first : writes.emplace_back()) = msSince(clock);
        }
    }
    {
        // The rest of 10,000 games at once, in one transaction: as if played over the years.
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        QSqlQuery q(db.open() ? db : QSqlDatabase());
        q.exec(QStringLiteral("BEGIN"));
        q.exec(QStringLiteral("CREATE TEMP TABLE n AS SELECT * FROM games"));
        for (int k = 0; k < 49; ++k)
            q.exec(QStringLiteral("INSERT INTO games SELECT NULL, played_at, language, speed, "
                                  "word_list, list_digest, played_ms, score, entered, hits, "
                                  "lives_lost, best_combo, combo_bonuses, level_clears, "
                                  "characters, strokes FROM n"));
        q.exec(QStringLiteral("COMMIT"));
        q.exec(QStringLiteral("SELECT count(*) FROM games"));
        q.next();
        std::printf("| Games in the file | %d |  |\n", q.value(0).toInt());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));

    std::vector<double> opens;
    for (int run = 0; run < 5; ++run) {
        records::Keeper keeper(path);
        Painted painted;
        application.installEventFilter(&painted);
        clock.start();
        keeper.show();
        painted.window = keeper.window();
        while (!painted.done)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        opens.push_back(msSince(clock));
        application.removeEventFilter(&painted);
    }
    records::Keeper keeper(path);
    std::vector<double> later;
    for (int n = 0; n < 50; ++n) {
        clock.start();
        keeper.keep(played(n));
        if (n > 0)
            later.push_back(msSince(clock));
    }

    std::printf("| Keeping the first game of a run: the file opened, checked, written (ms) | %.2f "
                "| ≤ 20 |\n",
                first);
    std::printf("| Keeping each game after (ms): median / max of %zu | %.2f / %.2f | ≤ 20 |\n",
                writes.size(), median(writes), *std::max_element(writes.begin(), writes.end()));
    std::printf(
        "| The same with 10,000 games kept (ms): median / max of %zu | %.2f / %.2f | ≤ 20 |\n",
        later.size(), median(later), *std::max_element(later.begin(), later.end()));
    std::printf("| Opening the records window over 10,000 games to its first paint (ms): first / "
                "median of %zu | %.1f / %.1f | ≤ 150 |\n",
                opens.size(), opens.front(), median(opens));
    return 0;
}
