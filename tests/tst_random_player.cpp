// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A player who types, clicks, closes and waits at random, with every rule that must
// hold checked after each event. CI plays a short while; a long run is, for example:
//   LUMIVEX_SEEDS=1,2,3 LUMIVEX_EVENTS=2000000 build/debug/tests/tst_random_player
#include "support/rig.h"

#include "ui/services/numbers.h"

#include <random>
#include <ranges>

using namespace Qt::StringLiterals;

namespace {

constexpr auto kWords = std::views::iota(0, game::frmlumi::kWords);

struct Player {
    explicit Player(std::uint32_t seed) : rng_(seed) {}
    int hits = 0, boxes = 0;

    QString play() {
        if (!s_ || s_->program.ended()) { // nothing of either window may run after the end
            if (s_ && (ticks(5000) || !s_->program.failures.empty()))
                return u"a step ran, or failed, at the end"_s;
            s_ = std::make_unique<Rig>(), started_ = false;
            s_->boxes.whileOpen = [this](const ui::RecordingMessageBoxes::Shown&) {
                problem_ = ticks(between(0, 3000)) ? u"a tick under a box"_s : problem_;
                ++boxes, s_->boxes.shown.clear();
            };
        }
        // Enough draws for the longest wait: 60 s of ticks.
        while (s_->random.pending() < 8000)
            s_->random.push(std::min(std::uniform_real_distribution<float>(0, 1)(rng_), 0.9999f));
        if (!s_->intro.loaded())
            s_->windows.open();
        const QString what = act();
        if (problem_.isEmpty())
            check(s_->w);
        return problem_.isEmpty() ? QString() : what + u": "_s + problem_;
    }

    int between(int low, int high) { return std::uniform_int_distribution(low, high)(rng_); }
    // Moves the clock on, and says whether a game step ran: every step draws.
    bool ticks(int ms) {
        const long long drawn = s_->random.drawn();
        s_->clock.advance(ms);
        return s_->random.drawn() != drawn;
    }

    QString act() {
        game::frmlumi& w = s_->w;
        ui::Form& front = w.shown() ? static_cast<ui::Form&>(w) : s_->windows.frmservices;
        const int roll = between(0, 99);
        if (roll == 0)
            return front.widget()->close(), u"close "_s + front.name();
        if (w.shown() && roll < 45) // a copy: a hit changes the caption
            return typeWord(roll < 35 ? QString(w.lbllumi(roll % 6).Caption()) : u"a b 호츨"_s);
        if (!w.shown() || roll < 60) {
            std::vector<ui::Windowed*> on = {s_->windows.frmservices.cmdservice};
            if (w.shown())
                on = {w.cmdstart, w.cmdstop, w.optenglish, w.optkorean, w.optslow, w.optfast};
            std::erase_if(on, [](ui::Windowed* c) { return !c->Enabled(); });
            ui::Windowed& c =
                roll == 59 && w.shown() ? *w.cmdexit : *on[between(0, int(on.size()) - 1)];
            const bool changes = (&c == w.optenglish && !w.optenglish->Value()) ||
                                 (&c == w.optkorean && !w.optkorean->Value());
            s_->click(c);
            if (&c == w.cmdstart)
                started_ = true, score_ = 0;
            const bool shown =
                std::ranges::any_of(kWords, [&](int i) { return w.lbllumi(i).Visible(); });
            if (changes && (w.tmrlumi->Enabled() || !w.cmdstart->Enabled() || shown))
                problem_ = u"the language changed but the game goes on"_s;
            return u"click "_s + c.name();
        }
        const int ms = static_cast<int>(std::exp(std::uniform_real_distribution(0.0, 11.0)(rng_)));
        return s_->clock.advance(ms), u"wait %1 ms"_s.arg(ms);
    }

    // Keys for Latin letters, an input method's commits for Hangul.
    QString typeWord(const QString& word) {
        game::frmlumi& w = s_->w;
        QLineEdit* box = w.txtlumi->lineEdit();
        box->clear();
        for (const QChar ch : word)
            ch.unicode() < 128 ? s_->type(ch) : s_->compose(ch, {});
        // Spaces at either end are not part of a word, typed or shown (no other blank is in one).
        const bool shown = std::ranges::any_of(
            kWords, [&](int i) { return w.lbllumi(i).Caption().trimmed() == word.trimmed(); });
        const double before = ui::numberOf(w.lblscore->Caption());
        const bool enter = between(0, 1);
        s_->press(enter ? Qt::Key_Return : Qt::Key_Space);
        const bool scored = ui::numberOf(w.lblscore->Caption()) > before;
        hits += scored;
        if (!s_->program.ended() && (scored != shown || box->text() != (enter ? "" : " ")))
            problem_ = u"scored %1, and the box holds \"%2\""_s.arg(scored).arg(box->text());
        return u"type "_s + word + (enter ? u" and Enter"_s : u" and Space"_s);
    }

    void check(const game::frmlumi& w) {
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            if (!std::count(w.WordBank.begin(), w.WordBank.end(), w.lbllumi(i).Caption()))
                problem_ = w.lbllumi(i).name() + u" shows a word the bank lacks"_s;
        if (w.LifeCursor < 0 || w.LifeCursor > 9 || w.SpeedChr < 5 || w.MissFlag > 1)
            problem_ = u"a window variable left its range"_s;
        // Every sign ends with its timer, and no sign's timer runs on without it.
        const bool loaded = s_->clock.now() >= 1000;
        if ((w.Poor->Visible() != w.Timer1->Enabled() && (loaded || w.Poor->Visible())) ||
            (w.Super->Visible() != w.Timer3->Enabled() && (loaded || w.Super->Visible())) ||
            (w.Good->Visible() ? !w.Timer2->Enabled() : w.Timer2->Enabled() && !w.Super->Visible()))
            problem_ = u"a sign and its timer disagree"_s;
        const double lives = ui::numberOf(w.lblbonus->Caption());
        int markers = 0;
        for (int j = 0; j < game::frmlumi::kMarkers; ++j)
            markers += w.Shplumi(j).BackStyle();
        const double score = ui::numberOf(w.lblscore->Caption());
        if (started_ && (lives < 0 || markers != lives || score < std::exchange(score_, score)))
            problem_ = u"%1 lives, %2 markers, score %3"_s.arg(lives).arg(markers).arg(score);
    }

    std::mt19937 rng_;
    std::unique_ptr<Rig> s_;
    bool started_ = false;
    double score_ = 0;
    QString problem_;
};

} // namespace

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
        Player player(seed);
        const long long events = qEnvironmentVariable("LUMIVEX_EVENTS", u"20000"_s).toLongLong();
        for (long long n = 0; n < events; ++n)
            if (const QString problem = player.play(); !problem.isEmpty())
                QFAIL(qPrintable(u"seed %1, event %2: %3"_s.arg(seed).arg(n).arg(problem)));
        qInfo("%d hits, %d message boxes", player.hits, player.boxes);
        QVERIFY(player.hits > 1000 && player.boxes > 10);
    }
};

QTEST_MAIN(RandomPlayer)
#include "tst_random_player.moc"
