// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A player who types, clicks, closes and waits at random, for what no case-by-case test
// reaches: the interleavings of steps, boxes and ends, run under the sanitizers too. Three rules
// are checked after each event. CI plays a short while; a long run is, for example:
//   LUMIVEX_SEEDS=1,2,3 LUMIVEX_EVENTS=2000000 build/debug/tests/tst_random_player
#include "support/rig.h"

#include "ui/services/numbers.h"

#include <random>

using namespace Qt::StringLiterals;

class RandomPlayer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void everyRuleShouldHoldWhateverThePlayerDoes_data() {
        QTest::addColumn<std::uint32_t>("seed");
        for (const QString& seed : qEnvironmentVariable("LUMIVEX_SEEDS", u"7,8"_s).split(u','))
            QTest::addRow("seed %s", qPrintable(seed)) << seed.toUInt();
    }

    void everyRuleShouldHoldWhateverThePlayerDoes() {
        QFETCH(std::uint32_t, seed);
        std::mt19937 rng(seed);
        const auto between = [&](int low, int high) {
            return std::uniform_int_distribution(low, high)(rng);
        };
        std::unique_ptr<Rig> s;
        int hits = 0, boxes = 0;
        bool started = false;             // the lives and the markers agree from the first Start on
        const auto ticked = [&](int ms) { // every game step draws
            const long long drawn = s->random.drawn();
            return s->clock.advance(ms), s->random.drawn() != drawn;
        };
        const long long events = qEnvironmentVariable("LUMIVEX_EVENTS", u"20000"_s).toLongLong();
        for (long long n = 0; n < events; ++n) {
            if (!s || s->program.ended()) { // nothing of either window may run after the end
                QVERIFY2(!s || (!ticked(5000) && s->program.failures.empty()), "a step at the end");
                s = std::make_unique<Rig>(), started = false;
                s->boxes.whileOpen = [&](const auto&) { QVERIFY(!ticked(between(0, 3000))); };
            }
            while (s->random.pending() < 8000) // the longest wait: 60 s of ticks
                s->random.push(std::min(std::uniform_real_distribution<float>()(rng), 0.9999f));
            if (!s->intro.loaded())
                s->windows.open();
            game::frmlumi& w = s->w;
            const int roll = between(0, 99);
            const double score = ui::numberOf(w.lblscore->Caption());
            if (roll == 0) {
                (w.shown() ? w.widget() : s->intro.widget())->close();
            } else if (w.shown() && roll < 45) { // a word on the field, or one that is not
                s->type(roll < 35 ? w.lbllumi(roll % 6).Caption() : u"a b 호츨"_s);
                s->press(between(0, 1) ? Qt::Key_Return : Qt::Key_Space);
                hits += ui::numberOf(w.lblscore->Caption()) > score;
            } else if (roll < 60) {
                std::vector<ui::Windowed*> on = {s->intro.cmdservice};
                if (w.shown())
                    on = {w.cmdstart, w.cmdstop, w.optenglish, w.optkorean, w.optslow, w.optfast};
                std::erase_if(on, [](ui::Windowed* c) { return !c->Enabled(); });
                ui::Windowed& c =
                    roll == 59 && w.shown() ? *w.cmdexit : *on[between(0, int(on.size()) - 1)];
                started = started || &c == w.cmdstart;
                s->click(c);
            } else {
                s->clock.advance(static_cast<int>(std::exp(between(0, 1100) / 100.0)));
            }
            boxes += static_cast<int>(std::exchange(s->boxes.shown, {}).size());
            // The markers show the lives.
            int markers = 0;
            for (int j = 0; j < game::frmlumi::kMarkers; ++j)
                markers += w.Shplumi(j).BackStyle();
            const double lives = ui::numberOf(w.lblbonus->Caption());
            QVERIFY2(!started || lives == markers, qPrintable(u"at event %1"_s.arg(n)));
        }
        qInfo("%d hits, %d message boxes", hits, boxes);
        QVERIFY(hits > 1000 && boxes > 10);
    }
};

QTEST_MAIN(RandomPlayer)
#include "tst_random_player.moc"
