// A player who types, composes, clicks, closes and waits at random, with every rule that must
// hold checked after each event. CI plays a short while; a long run is, for example:
//   LUMIVEX_SEEDS=1,2,3 LUMIVEX_EVENTS=2000000 build/debug/tests/tst_random_player
#include "support/rig.h"

#include "ui/numbers.h"

#include <QLineEdit>
#include <QTest>

#include <random>

using namespace Qt::StringLiterals;

namespace {

struct SeededRandom final : ui::RandomSource {
    void seedFromClock() override {}
    float next() override { return ++drawn, static_cast<float>(engine() >> 8) / 16777216.0f; }
    std::mt19937 engine;
    long long drawn = 0;
};

// One run of the program: both windows as start-up builds them.
struct Session {
    ui::ManualClock clock;
    SeededRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
    app::Windows windows{services};
    game::frmlumi& w = windows.frmlumi;
};

class Player {
public:
    explicit Player(std::uint32_t seed) : rng_(seed) {}
    int hits = 0, boxes = 0;

    // One event: what it was, and what broke if anything did.
    QString play() {
        if (!s_ || s_->program.ended()) {
            const long long drawn = s_ ? s_->random.drawn : 0;
            if (s_) // nothing of either window may run after the end
                s_->clock.advance(5000);
            if (s_ && (s_->random.drawn != drawn || !s_->program.failures.empty()))
                return u"a step ran, or failed, at the end"_s;
            open();
        }
        const QString what = act();
        if (problem_.isEmpty())
            check();
        return problem_.isEmpty() ? QString() : what + u": "_s + problem_;
    }

private:
    void open() {
        s_ = std::make_unique<Session>();
        s_->random.engine.seed(rng_());
        s_->windows.open();
        started_ = false;
        s_->boxes.whileOpen = [this](const ui::RecordingMessageBoxes::Shown& box) {
            ++boxes;
            s_->boxes.shown.clear();
            // Nothing may fall while the player reads the box.
            const long long drawn = s_->random.drawn;
            s_->clock.advance(between(0, 3000));
            if (s_->random.drawn != drawn)
                problem_ = u"the game ran while \"%1\" was open"_s.arg(box.title);
        };
    }

    int between(int low, int high) { return std::uniform_int_distribution(low, high)(rng_); }
    QLineEdit* box() const { return s_->w.txtlumi->lineEdit(); }

    QString act() {
        game::frmlumi& w = s_->w;
        ui::Form& shown = w.shown() ? static_cast<ui::Form&>(w) : s_->windows.frmservices;
        const int roll = between(0, 99);
        if (roll == 0)
            return shown.widget()->close(), u"close "_s + shown.name();
        if (!w.shown())
            return click(*s_->windows.frmservices.cmdservice);
        if (roll < 35) // a copy: a hit changes the caption
            return typeWord(QString(w.lbllumi(between(0, 5)).Caption()));
        if (roll < 45)
            return typeWord(roll % 2 ? u"호츨기x"_s : u"a b"_s);
        if (roll < 60) {
            std::vector<ui::Windowed*> on;
            for (ui::Windowed* c : std::initializer_list<ui::Windowed*>{
                     w.cmdstart, w.cmdstop, w.cmdexit, w.optenglish, w.optkorean, w.optslow,
                     w.optfast})
                if (c->Enabled() && (c != w.cmdexit || roll == 59))
                    on.push_back(c);
            return click(*on[static_cast<std::size_t>(between(0, int(on.size()) - 1))]);
        }
        const int ms = static_cast<int>(std::exp(std::uniform_real_distribution(0.0, 11.0)(rng_)));
        s_->clock.advance(ms);
        return u"wait %1 ms"_s.arg(ms);
    }

    QString click(ui::Windowed& control) {
        game::frmlumi& w = s_->w;
        auto* option = dynamic_cast<ui::OptionButton*>(&control);
        const bool language = (option == w.optenglish || option == w.optkorean) && !option->Value();
        QTest::mouseClick(control.widget(), Qt::LeftButton, {}, QPoint(6, 6));
        if (&control == w.cmdstart)
            started_ = true, score_ = 0;
        bool shownWord = false;
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            shownWord = shownWord || w.lbllumi(i).Visible();
        if (language && (w.tmrlumi->Enabled() || !w.cmdstart->Enabled() || shownWord))
            problem_ = u"the language changed but the game goes on"_s;
        return u"click "_s + control.name();
    }

    // Keys for Latin letters; an input method for Hangul, whose last syllable may still be
    // composing when Space or Enter ends the word, and may then come again late.
    QString typeWord(const QString& word) {
        game::frmlumi& w = s_->w;
        box()->clear();
        const bool composing = between(0, 1) && word.back().unicode() >= 0xAC00;
        for (const QChar ch : word.chopped(composing ? 1 : 0)) {
            if (ch.unicode() < 128)
                QTest::keyClick(box(), ch.toLatin1());
            else
                Rig::compose(box(), QString(), ch), Rig::compose(box(), ch, QString());
        }
        if (composing)
            Rig::compose(box(), QString(), word.back());
        bool shown = false;
        for (int i = 0; i < game::frmlumi::kWords; ++i)
            shown = shown || (w.lbllumi(i).Caption() == word.trimmed() && word.trimmed() != "");
        const double before = ui::numberOf(w.lblscore->Caption());
        const bool enter = between(0, 1);
        QTest::keyClick(box(), enter ? Qt::Key_Return : Qt::Key_Space);
        if (composing && between(0, 1))
            Rig::compose(box(), word.back(), QString());
        const double after = ui::numberOf(w.lblscore->Caption());
        hits += after > before;
        if (!s_->program.ended() && (after > before) != shown)
            problem_ = u"the score went from %1 to %2"_s.arg(before).arg(after);
        else if (!s_->program.ended() && box()->text() != (enter ? "" : " "))
            problem_ = u"the box holds \"%1\" after the word"_s.arg(box()->text());
        return u"type "_s + word + (enter ? u" and Enter"_s : u" and Space"_s);
    }

    void check() {
        const game::frmlumi& w = s_->w;
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
        if (!started_)
            return;
        const double lives = ui::numberOf(w.lblbonus->Caption());
        int markers = 0;
        for (int j = 0; j < game::frmlumi::kMarkers; ++j)
            markers += w.Shplumi(j).BackStyle();
        const double score = ui::numberOf(w.lblscore->Caption());
        if (lives < 0 || markers != lives || score < std::exchange(score_, score))
            problem_ = u"%1 lives, %2 markers, score %3"_s.arg(lives).arg(markers).arg(score);
    }

    std::mt19937 rng_;
    std::unique_ptr<Session> s_;
    QString problem_;
    bool started_ = false;
    double score_ = 0;
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
