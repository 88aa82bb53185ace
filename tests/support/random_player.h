#pragma once

#include "app/lumivex.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>

// The game's draws from a seed the test chooses, counted so that a test can tell whether
// the game tick ran.
class SeededRandom final : public ui::RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    void seedFromClock() override {}
    float next() override {
        ++drawn_;
        return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
    }
    long long drawn() const { return drawn_; }

private:
    std::mt19937 engine_;
    long long drawn_ = 0;
};

// One run of the program: both windows as start-up builds them, on a manual clock, with
// recorded message boxes and a recorded end.
struct Session {
    explicit Session(std::uint32_t seed) : random(seed) {}
    ui::ManualClock clock;
    SeededRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, random, boxes, program};
    app::Windows windows{services};
    game::frmlumi& game = windows.frmlumi;
    intro::frmservices& intro = windows.frmservices;
};

struct PlayerStats {
    long long events = 0;
    long long hits = 0;
    long long superCombos = 0;
    long long levelClears = 0;
    long long gameOvers = 0;
    long long starts = 0;
    long long sessions = 0;
    long long lateCommits = 0;
    long long clearsAfterGameOver = 0;
    std::int64_t virtualMs = 0;
    std::map<QString, long long> clicks;
};

// A player who types, composes, pastes, clicks and lets time pass at random, now aiming at
// the falling words, now hammering anything, and checks after every event what must hold
// whatever the player does.
class RandomPlayer {
public:
    struct Options {
        // Exit and the close boxes end the program; a fresh set of windows then takes over.
        bool mayEndProgram = true;
        // The longest single wait; a soak keeps playing and lets the words fall for itself.
        int longestWaitMs = 60'000;
        // Qt keeps every glyph it has drawn, at every sub-pixel offset, and its line edit keeps
        // the largest undo buffer it ever needed: random syllables from all 11,172 and ever
        // longer pastes fill those all day long, a few letters and short pastes within the
        // first hour.
        bool narrowAlphabet = false;
        int longestPaste = 400;
    };

    RandomPlayer(std::uint32_t seed, Options options);
    ~RandomPlayer();

    // Sends one event; returns what it was, for a failure report.
    QString step();
    // Empty while every invariant holds, else what broke.
    QString check();
    // Ends the word in the box and forgets the clipboard, so that two moments of play can be
    // compared without a half-typed paste in one of them.
    void settle();

    Session& session() { return *session_; }
    const PlayerStats& stats() const { return stats_; }

private:
    using Action = std::function<QString()>;

    void openSession();
    void endSession();
    void watch(Session& s);
    void plan();
    void planAimedWord();
    void planWild();
    void planTyping(const QString& word, bool viaInputMethod);
    void planEnd();
    QString wait(std::int64_t ms);
    QString click(const QString& name);
    QString closeWindow(ui::Form& form);
    QString key(QChar ch, bool toFocus);
    QString compose(const QString& preedit, const QString& commit);
    QString endWord(bool enter);
    QString paste(const QString& text, bool viaClipboard);
    QString control(Qt::Key key, Qt::KeyboardModifiers modifiers);
    QString junk(int longest);
    QChar syllable();
    QChar latin(int first);
    QChar letter();
    double number(const ui::Label& label) const;
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    int between(int low, int high) { return std::uniform_int_distribution(low, high)(rng_); }

    std::mt19937 rng_;
    Options options_;
    std::unique_ptr<Session> session_;
    PlayerStats stats_;
    std::deque<Action> plan_;
    bool aiming_ = true;
    double restartChance_ = 0.1;

    // What the checks remember between events.
    QString problem_;
    QString composing_;
    QString lastCommitJudged_;
    bool startedOnce_ = false;
    bool gameOverSinceStart_ = false;
    double lastScore_ = 0;
};
