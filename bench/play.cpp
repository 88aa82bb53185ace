// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Plays the game in one process, with the program's own windows and libraries on the real
// clock, and measures what only the inside can see: the period of the game tick, the pixels
// and the time each tick's repaint costs, and the time from the Enter that ends a hit to the
// end of the paint that shows the new score. Writes its samples as JSON.
//   lumivex-play-bench OUT.json [TICK_SECONDS] [HITS] [TYPE_INTERVAL_MS]
// First it plays at Slow without typing (words missing, games ending and started again) for
// TICK_SECONDS of ticks, then in English it types the lowest word every TYPE_INTERVAL_MS
// until HITS hits.
#include "app/lumivex.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

constexpr int kGameTickMs = 50;

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long long threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long long area(const QRegion& region) {
    long long sum = 0;
    for (const QRect& r : region)
        sum += static_cast<long long>(r.width()) * r.height();
    return sum;
}

// The real clock, with a watch around every timer it hands out. The game tick is the one
// timer that runs at 50 ms.
class WatchedClock final : public ui::Clock {
public:
    std::function<void(bool gameTick)> before;
    std::function<void(bool gameTick)> after;
    std::function<void()> gameTickRestarted;

    std::unique_ptr<ui::TimerBackend> makeTimer(std::function<void()> onTick) override;
    std::int64_t elapsedMs() const override { return real_.elapsedMs(); }

private:
    ui::RealClock real_;
};

class WatchedTimer final : public ui::TimerBackend {
public:
    explicit WatchedTimer(WatchedClock& clock) : clock_(clock) {}
    void start(int intervalMs) override {
        interval_ = intervalMs;
        restarted();
        inner->start(intervalMs);
    }
    void stop() override {
        restarted();
        inner->stop();
    }
    bool gameTick() const { return interval_ == kGameTickMs; }

    std::unique_ptr<ui::TimerBackend> inner;

private:
    void restarted() const {
        if (gameTick() && clock_.gameTickRestarted)
            clock_.gameTickRestarted();
    }
    WatchedClock& clock_;
    int interval_ = 0;
};

std::unique_ptr<ui::TimerBackend> WatchedClock::makeTimer(std::function<void()> onTick) {
    auto timer = std::make_unique<WatchedTimer>(*this);
    WatchedTimer* watched = timer.get();
    timer->inner = real_.makeTimer([this, watched, onTick = std::move(onTick)] {
        const bool game = watched->gameTick();
        if (before)
            before(game);
        onTick();
        if (after)
            after(game);
    });
    return timer;
}

// What a control shows, to tell which ones a step changed.
struct Look {
    bool visible = false;
    QRect rect;
    QString caption;
    int state = 0;
    bool operator==(const Look&) const = default;
};

class Bench final : public QObject {
public:
    Bench(app::Windows& windows, WatchedClock& clock, QString out, double tickSeconds, int hits,
          int typeIntervalMs)
        : windows_(windows), game_(windows.frmlumi), out_(std::move(out)),
          tickNs_(static_cast<long long>(tickSeconds * 1e9)), hitsWanted_(hits) {
        clock.before = [this](bool gameTick) { beforeTimer(gameTick); };
        clock.after = [this](bool gameTick) { afterTimer(gameTick); };
        clock.gameTickRestarted = [this] { lastTickAt_ = 0; };
        watcher_.setInterval(20);
        QObject::connect(&watcher_, &QTimer::timeout, this, [this] { watch(); });
        typist_.setTimerType(Qt::PreciseTimer);
        typist_.setInterval(typeIntervalMs);
        QObject::connect(&typist_, &QTimer::timeout, this, [this] { typeLowestWord(); });
        qApp->installEventFilter(this);
    }

    // Once the windows are open.
    void begin() {
        for (const auto& control : game_.controls())
            if (!dynamic_cast<ui::Timer*>(control.get()))
                controls_.push_back(control.get());
        watcher_.start();
        QTimer::singleShot(500, this, [this] { openGame(); });
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
            notePaint(receiver, static_cast<QPaintEvent*>(event));
            return false;
        case QEvent::KeyPress:
            if (receiver == game_.txtlumi->lineEdit() &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return && phase_ == Typing) {
                keyAt_ = nowNs();
                scoreBefore_ = game_.lblscore->Caption();
            }
            return false;
        case QEvent::Expose:
        case QEvent::UpdateRequest:
            if (handling_ || !isGameWindow(receiver))
                return false;
            handleUpdate(receiver, event);
            return true;
        default:
            return false;
        }
    }

private:
    enum Phase { Opening, Ticks, Typing, Done };

    struct TickCost {
        long long painted = 0;    // pixels of the window repainted, each counted once
        long long paintedSum = 0; // the same, summed over every widget's paint event
        long long expected = 0;   // pixels of the controls that changed, old and new places
        long long stray = 0;      // repainted pixels where nothing changed since the last paint
        long long paintNs = 0;    // painting and putting on the screen
        long long paintCpuNs = 0; // the same, in CPU time of this thread
        long long handlerNs = 0;  // the tick step itself
    };

    bool isGameWindow(QObject* receiver) const {
        QWidget* window = game_.widget();
        return receiver == window || (window->windowHandle() && receiver == window->windowHandle());
    }

    // ---- the script --------------------------------------------------------------------

    void openGame() {
        if (windows_.frmservices.shown())
            click(windows_.frmservices.cmdservice->button());
        QTimer::singleShot(500, this, [this] {
            phase_ = Ticks;
            click(game_.cmdstart->button());
        });
    }

    void watch() {
        if (QWidget* box = QApplication::activeModalWidget()) {
            // A game over or a level clear: the player reads it and presses Enter.
            lastTickAt_ = 0;
            bucketValid_ = false;
            modalSeen_ = true;
            QTest::keyClick(box, Qt::Key_Return);
            return;
        }
        if (phase_ == Ticks && tickPlayNs_ >= tickNs_) {
            startTyping();
        } else if ((phase_ == Ticks || phase_ == Typing) && !game_.tmrlumi->Enabled() &&
                   game_.cmdstart->Enabled() && !restartPending_) {
            restartPending_ = true;
            QTimer::singleShot(200, this, [this] {
                restartPending_ = false;
                if (phase_ == Ticks || phase_ == Typing)
                    click(game_.cmdstart->button());
            });
        }
    }

    void startTyping() {
        phase_ = Typing;
        click(game_.cmdstop->button());
        click(game_.optenglish->radio());
        click(game_.cmdstart->button());
        typist_.start();
        // Should typing stall, the samples so far are still written.
        QTimer::singleShot(static_cast<int>(hitsWanted_) * typist_.interval() * 4 + 10000, this,
                           [this] { finish(); });
    }

    // A click changes buttons and may move every word: the next repaint may cover anything,
    // and the tick it falls in is not counted.
    void click(QWidget* target) {
        clicking_ = true;
        QTest::mouseClick(target, Qt::LeftButton);
        clicking_ = false;
        unpainted_ = QRegion(game_.widget()->rect());
        bucketValid_ = false;
    }

    void typeLowestWord() {
        if (phase_ != Typing || !game_.tmrlumi->Enabled() || QApplication::activeModalWidget())
            return;
        const ui::Label* lowest = nullptr;
        for (int i = 0; i < game::frmlumi::kWords; ++i) {
            const ui::Label& word = game_.lbllumi(i);
            if (word.Visible() && (!lowest || word.Top() > lowest->Top()))
                lowest = &word;
        }
        if (!lowest)
            return;
        QLineEdit* entry = game_.txtlumi->lineEdit();
        QTest::keyClicks(entry, lowest->Caption());
        QTest::keyClick(entry, Qt::Key_Return);
    }

    void finish() {
        if (phase_ == Done)
            return;
        phase_ = Done;
        typist_.stop();
        watcher_.stop();
        write();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }

    // ---- the tick ----------------------------------------------------------------------

    std::vector<Look> looks() const {
        std::vector<Look> all;
        all.reserve(controls_.size());
        for (const ui::Control* control : controls_) {
            Look look;
            if (auto* w = dynamic_cast<const ui::Windowless*>(control)) {
                look.visible = w->Visible();
                look.rect = w->pixelRect();
                if (auto* label = dynamic_cast<const ui::Label*>(w)) {
                    look.caption = label->Caption();
                    look.state = label->BackStyle();
                } else if (auto* shape = dynamic_cast<const ui::Shape*>(w)) {
                    look.state = shape->BackStyle();
                }
            } else if (auto* w = dynamic_cast<const ui::Windowed*>(control)) {
                const QWidget* widget = w->widget();
                look.visible = w->Visible();
                look.rect = QRect(widget->mapTo(game_.widget(), QPoint()), widget->size());
                look.state = w->Enabled() ? 1 : 0;
                if (auto* box = dynamic_cast<const ui::TextBox*>(w))
                    look.caption = box->Text();
                else if (auto* option = dynamic_cast<const ui::OptionButton*>(w))
                    look.state += option->Value() ? 2 : 0;
                else if (auto* button = dynamic_cast<const ui::CommandButton*>(w))
                    look.caption = button->BackColor().name();
            }
            all.push_back(std::move(look));
        }
        return all;
    }

    void beforeTimer(bool gameTick) {
        const long long at = nowNs();
        if (controls_.empty())
            return;
        lookBefore_ = looks();
        inTimer_ = true;
        paintInTimerNs_ = 0;
        if (!gameTick)
            return;
        closeBucket();
        if (lastTickAt_ != 0) {
            const long long period = at - lastTickAt_;
            (phase_ == Ticks ? tickPeriods_ : typingPeriods_)
                .append(static_cast<double>(period) / 1e3);
            if (phase_ == Ticks)
                tickPlayNs_ += period;
        }
        lastTickAt_ = at;
        bucketValid_ = phase_ == Ticks;
        bucket_ = TickCost{};
        painted_ = QRegion();
        expected_ = QRegion();
        tickStartedAt_ = nowNs();
    }

    void afterTimer(bool gameTick) {
        const long long end = nowNs();
        if (controls_.empty())
            return;
        noteChanges();
        inTimer_ = false;
        // The step paints what it changed before it returns; that is counted as painting.
        if (gameTick)
            bucket_.handlerNs = end - tickStartedAt_ - paintInTimerNs_;
    }

    // The controls that changed since the last look: their old and new places may be
    // repainted.
    void noteChanges() {
        const std::vector<Look> now = looks();
        const int margin = 1; // a control repaints its rectangle and one pixel around it
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] == lookBefore_[i])
                continue;
            QRegion changed;
            if (lookBefore_[i].visible)
                changed += lookBefore_[i].rect.adjusted(-margin, -margin, margin, margin);
            if (now[i].visible)
                changed += now[i].rect.adjusted(-margin, -margin, margin, margin);
            expected_ += changed;
            unpainted_ += changed;
        }
        lookBefore_ = now;
    }

    void closeBucket() {
        if (!bucketValid_)
            return;
        bucketValid_ = false;
        bucket_.expected = area(expected_);
        bucket_.painted = area(painted_);
        costs_.push_back(bucket_);
    }

    // ---- painting ----------------------------------------------------------------------

    void notePaint(QObject* receiver, QPaintEvent* event) {
        auto* widget = qobject_cast<QWidget*>(receiver);
        QWidget* window = game_.widget();
        if (!widget || widget->window() != window)
            return;
        const QRegion region = event->region().translated(widget->mapTo(window, QPoint()));
        painted_ += region;
        updatePainted_ += region;
        bucket_.paintedSum += area(region);
    }

    void handleUpdate(QObject* receiver, QEvent* event) {
        handling_ = true;
        updatePainted_ = QRegion();
        if (inTimer_) {
            const long long looking = nowNs();
            noteChanges();
            paintInTimerNs_ += nowNs() - looking; // the benchmark's own looking, not the step's
        }
        const long long start = nowNs();
        const long long startCpu = threadCpuNs();
        receiver->event(event);
        const long long end = nowNs();
        bucket_.paintCpuNs += threadCpuNs() - startCpu;
        handling_ = false;
        bucket_.paintNs += end - start;
        if (inTimer_)
            paintInTimerNs_ += end - start;
        // What changed since the last repaint, and the entry box, whose cursor blinks.
        const QRegion allowed = clicking_
                                    ? QRegion(game_.widget()->rect())
                                    : unpainted_ + QRegion(game_.txtlumi->widget()->geometry());
        // An expose repaints what another window uncovered: the X server asked, not the game.
        if (event->type() != QEvent::Expose)
            bucket_.stray += area(updatePainted_ - allowed);
        unpainted_ = QRegion();
        if (keyAt_ != 0 && game_.lblscore->Caption() != scoreBefore_ &&
            (QRegion(game_.lblscore->pixelRect()) - updatePainted_).isEmpty()) {
            if (QApplication::activeModalWidget() || modalSeen_)
                ++excludedHits_;
            else
                latencies_.append(static_cast<double>(end - keyAt_) / 1e3);
            keyAt_ = 0;
            modalSeen_ = false;
            if (latencies_.size() >= hitsWanted_ && phase_ == Typing)
                QTimer::singleShot(0, this, [this] { finish(); });
        }
    }

    void write() const {
        QJsonArray ticks;
        for (const TickCost& c : costs_)
            ticks.append(QJsonObject{{"painted", c.painted},
                                     {"painted_sum", c.paintedSum},
                                     {"expected", c.expected},
                                     {"stray", c.stray},
                                     {"paint_us", static_cast<double>(c.paintNs) / 1e3},
                                     {"paint_cpu_us", static_cast<double>(c.paintCpuNs) / 1e3},
                                     {"handler_us", static_cast<double>(c.handlerNs) / 1e3}});
        const QJsonObject all{
            {"tick_periods_us", tickPeriods_},
            {"typing_tick_periods_us", typingPeriods_},
            {"ticks", ticks},
            {"latency_us", latencies_},
            {"excluded_hits", excludedHits_},
            {"window_pixels", game_.widget()->width() * game_.widget()->height()}};
        QFile file(out_);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QJsonDocument(all).toJson(QJsonDocument::Compact)) < 0)
            std::fprintf(stderr, "lumivex-play-bench: cannot write %s\n", qPrintable(out_));
    }

    app::Windows& windows_;
    game::frmlumi& game_;
    QString out_;
    long long tickNs_;
    qsizetype hitsWanted_;
    std::vector<const ui::Control*> controls_;
    QTimer watcher_;
    QTimer typist_;
    Phase phase_ = Opening;
    bool restartPending_ = false;
    bool handling_ = false;
    bool inTimer_ = false;         // a timer's step is running
    long long paintInTimerNs_ = 0; // of it, the time spent painting (and looking at it)
    bool modalSeen_ = false;
    bool clicking_ = false;

    long long lastTickAt_ = 0;
    long long tickStartedAt_ = 0;
    long long tickPlayNs_ = 0;
    QJsonArray tickPeriods_;
    QJsonArray typingPeriods_;

    std::vector<Look> lookBefore_;
    bool bucketValid_ = false;
    TickCost bucket_;
    QRegion painted_;
    QRegion updatePainted_;
    QRegion expected_;
    QRegion unpainted_;
    std::vector<TickCost> costs_;

    long long keyAt_ = 0;
    QString scoreBefore_;
    QJsonArray latencies_;
    int excludedHits_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::applyLook();
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: lumivex-play-bench OUT.json [TICK_SECONDS] [HITS] "
                             "[TYPE_INTERVAL_MS]\n");
        return 2;
    }
    WatchedClock clock;
    ui::SystemRandom random;
    ui::QtMessageBoxes messages;
    ui::QtProgram program;
    ui::QtAnnouncer announcer;
    ui::ScriptedWordListFiles files;
    records::Keeper kept;
    ui::Services services{clock, random, messages, program, announcer, files, kept};
    app::Windows windows(services);
    Bench bench(windows, clock, args[1], args.size() > 2 ? args[2].toDouble() : 60.0,
                args.size() > 3 ? args[3].toInt() : 200, args.size() > 4 ? args[4].toInt() : 200);
    windows.open();
    if (program.ended())
        return program.status();
    bench.begin();
    return QApplication::exec();
}
