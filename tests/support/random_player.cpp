#include "random_player.h"

#include "ui/numbers.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

const QString kGameOver = QStringLiteral("Game Over!");
const QString kLevelClear = QStringLiteral("레벨 클리어!");

const QStringList kGameControls = {
    QStringLiteral("cmdstart"),   QStringLiteral("cmdstop"),   QStringLiteral("cmdexit"),
    QStringLiteral("optenglish"), QStringLiteral("optkorean"), QStringLiteral("optslow"),
    QStringLiteral("optfast"),
};

std::array<float, game::frmlumi::kWords> topsOf(const game::frmlumi& game) {
    std::array<float, game::frmlumi::kWords> tops{};
    for (int i = 0; i < game::frmlumi::kWords; ++i)
        tops[static_cast<std::size_t>(i)] = game.lbllumi(i).Top();
    return tops;
}

// The player's own reading of a typed word: only the spaces around it fall away.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QLineEdit* entryOf(Session& s) { return s.game.txtlumi->lineEdit(); }

} // namespace

RandomPlayer::RandomPlayer(std::uint32_t seed, Options options) : rng_(seed), options_(options) {
    openSession();
}

RandomPlayer::~RandomPlayer() = default;

void RandomPlayer::openSession() {
    session_ = std::make_unique<Session>(static_cast<std::uint32_t>(rng_()));
    Session& s = *session_;
    watch(s);
    s.windows.open();
    ++stats_.sessions;
    startedOnce_ = gameOverSinceStart_ = false;
    lastScore_ = 0;
    composing_.clear();
    lastCommitJudged_.clear();
    if (!s.game.loaded() || s.program.ended()) {
        problem_ = QStringLiteral("the program did not start");
        return;
    }
    // Connected after the window's own step, so it sees the game as Start left it.
    QObject::connect(s.game.cmdstart->button(), &QPushButton::clicked, s.game.cmdstart->button(),
                     [this] {
                         startedOnce_ = true;
                         gameOverSinceStart_ = false;
                         lastScore_ = 0;
                         ++stats_.starts;
                     });
}

void RandomPlayer::watch(Session& s) {
    s.boxes.whileOpen = [this, &s](const ui::RecordingMessageBoxes::Shown& box) {
        if (s.boxes.openNow > 1)
            problem_ = QStringLiteral("two message boxes are open at once");
        if (box.title == kGameOver) {
            ++stats_.gameOvers;
            gameOverSinceStart_ = true;
        } else if (box.title == kLevelClear) {
            ++stats_.levelClears;
            if (gameOverSinceStart_)
                ++stats_.clearsAfterGameOver;
        } else {
            problem_ = QStringLiteral("an unexpected message box \"%1\"").arg(box.title);
        }
        // A day of play shows thousands of boxes; the record of them must not grow the heap.
        s.boxes.shown.clear();
        if (!chance(0.5))
            return;
        // The player reads the box for a while before answering: nothing may fall meanwhile.
        const long long drawn = s.random.drawn();
        const auto tops = topsOf(s.game);
        const int ms = between(1, 5000);
        stats_.virtualMs += ms;
        s.clock.advance(ms);
        if (s.random.drawn() != drawn || topsOf(s.game) != tops)
            problem_ = QStringLiteral("the game tick ran while \"%1\" was open").arg(box.title);
    };
}

void RandomPlayer::endSession() {
    Session& s = *session_;
    if (!s.program.failures.empty())
        problem_ = QStringLiteral("the program failed: %1").arg(s.program.failures.front());
    // Nothing of either window may run once the program has ended.
    const long long drawn = s.random.drawn();
    const auto tops = topsOf(s.game);
    const QColor face = s.intro.cmdservice->BackColor();
    s.clock.advance(5000);
    if (problem_.isEmpty() && (s.random.drawn() != drawn || topsOf(s.game) != tops ||
                               s.intro.cmdservice->BackColor() != face))
        problem_ = QStringLiteral("a step ran after the program ended");
    plan_.clear();
    session_.reset();
}

QString RandomPlayer::step() {
    if (plan_.empty())
        plan();
    const Action action = std::move(plan_.front());
    plan_.pop_front();
    QString what = action();
    ++stats_.events;
    // Paint now and then, and let Qt deliver what it has queued (activation, focus, deletes).
    if (stats_.events % 50 == 0)
        QCoreApplication::processEvents();
    if (session_->program.ended()) {
        what += QStringLiteral(", which ended the program");
        endSession();
        openSession();
    }
    return what;
}

void RandomPlayer::settle() {
    plan_.clear();
    endWord(true);
    QApplication::clipboard()->clear();
}

void RandomPlayer::plan() {
    Session& s = *session_;
    if (chance(aiming_ ? 0.002 : 0.01)) {
        aiming_ = !aiming_;
        // Now and then the player stays on after a game, typing the words that stand still.
        restartChance_ = chance(0.3) ? 0.002 : 0.1;
    }
    if (!s.game.shown()) {
        // Only the intro window is on screen.
        const int roll = between(0, 999);
        if (roll < 300)
            plan_.push_back([this] { return click(QStringLiteral("cmdservice")); });
        else if (roll < 303 && options_.mayEndProgram)
            plan_.push_back([this] { return closeWindow(session_->intro); });
        else
            plan_.push_back([this, ms = between(1, 400)] { return wait(ms); });
        return;
    }
    if (!aiming_) {
        planWild();
        return;
    }
    if (s.game.cmdstart->Enabled() && chance(restartChance_)) {
        plan_.push_back([this] { return click(QStringLiteral("cmdstart")); });
        return;
    }
    const int roll = between(0, 99);
    if (roll < 50)
        planAimedWord();
    else if (roll < 92)
        plan_.push_back([this, ms = between(1, 400)] { return wait(ms); });
    else
        planWild();
}

void RandomPlayer::planAimedWord() {
    const game::frmlumi& game = session_->game;
    // The lowest word on show is the one about to cost a life; with none on show, any word.
    int target = -1;
    for (int i = 0; i < game::frmlumi::kWords; ++i) {
        const ui::Label& word = game.lbllumi(i);
        if (word.Visible() && (target < 0 || word.Top() > game.lbllumi(target).Top()))
            target = i;
    }
    if (target < 0)
        target = between(0, game::frmlumi::kWords - 1);
    const QString word = game.lbllumi(target).Caption();
    plan_.push_back([this] { return compose(QString(), QString()); });
    plan_.push_back([this] { return control(Qt::Key_A, Qt::ControlModifier); });
    plan_.push_back([this] { return control(Qt::Key_Backspace, Qt::NoModifier); });
    planTyping(word, chance(0.5));
    planEnd();
}

void RandomPlayer::planTyping(const QString& word, bool viaInputMethod) {
    for (qsizetype n = 0; n < word.size(); ++n) {
        const QChar ch = word.at(n);
        if (ch.unicode() < 128 || !viaInputMethod) {
            plan_.push_back([this, ch] { return key(ch, false); });
            continue;
        }
        // An input method shows a jamo, then the syllable, and commits it; the last syllable
        // is sometimes still composing when the word is ended.
        const QChar jamo = letter();
        plan_.push_back([this, jamo] { return compose(QString(jamo), QString()); });
        plan_.push_back([this, ch] { return compose(QString(ch), QString()); });
        if (n + 1 < word.size() || chance(0.5))
            plan_.push_back([this, ch] { return compose(QString(), QString(ch)); });
    }
}

void RandomPlayer::planEnd() {
    plan_.push_back([this, enter = chance(0.5)] { return endWord(enter); });
    // Some engines deliver the syllable ended with the word once more, after the key.
    if (chance(0.5))
        plan_.push_back([this] {
            return lastCommitJudged_.isEmpty() ? wait(1) : compose(QString(), lastCommitJudged_);
        });
}

void RandomPlayer::planWild() {
    Session& s = *session_;
    const int roll = between(0, 99);
    if (roll < 18) {
        const QChar ch = chance(0.6) ? latin(0x21) : syllable();
        plan_.push_back([this, ch] { return key(ch, false); });
    } else if (roll < 26) {
        const QChar ch = syllable();
        const QChar other = syllable();
        const int variant = between(0, 2);
        plan_.push_back([this, ch, other, variant] {
            return variant == 0   ? compose(QString(ch), QString())
                   : variant == 1 ? compose(QString(), QString(ch))
                                  : compose(QString(ch), QString(other));
        });
    } else if (roll < 34) {
        plan_.push_back([this, enter = chance(0.5)] { return endWord(enter); });
    } else if (roll < 39) {
        plan_.push_back([this] { return control(Qt::Key_Backspace, Qt::NoModifier); });
    } else if (roll < 44) {
        plan_.push_back([this, text = junk(between(0, 1) ? 12 : options_.longestPaste),
                         viaClipboard = chance(0.5)] { return paste(text, viaClipboard); });
    } else if (roll < 46 && options_.mayEndProgram) {
        // A key to whatever has the focus: Space on a button the player clicked presses it.
        const int which = between(0, 2);
        const QChar ch = which == 0 ? QChar(' ') : which == 1 ? QChar('\r') : QChar('x');
        plan_.push_back([this, ch] { return key(ch, true); });
    } else if (roll < 60) {
        QStringList names;
        for (const QString& name : kGameControls) {
            const auto* control = dynamic_cast<ui::Windowed*>(s.game.find(name));
            if (control && control->Enabled() &&
                (name != QLatin1String("cmdexit") || (options_.mayEndProgram && chance(0.05))))
                names << name;
        }
        const QString name = names.at(between(0, static_cast<int>(names.size()) - 1));
        plan_.push_back([this, name] { return click(name); });
    } else if (roll < 61 && options_.mayEndProgram && chance(0.3)) {
        plan_.push_back([this] { return closeWindow(session_->game); });
    } else {
        const double most = std::log(static_cast<double>(options_.longestWaitMs));
        const auto ms = static_cast<std::int64_t>(
            std::exp(std::uniform_real_distribution<double>(0.0, most)(rng_)));
        plan_.push_back([this, ms] { return wait(std::max<std::int64_t>(1, ms)); });
    }
}

QString RandomPlayer::wait(std::int64_t ms) {
    stats_.virtualMs += ms;
    session_->clock.advance(ms);
    return QStringLiteral("wait %1 ms").arg(ms);
}

QString RandomPlayer::click(const QString& name) {
    Session& s = *session_;
    ui::Control* control = s.game.find(name);
    if (!control)
        control = s.intro.find(name);
    ++stats_.clicks[name];
    if (auto* option = dynamic_cast<ui::OptionButton*>(control)) {
        QRadioButton* radio = option->radio();
        // A radio button takes the click on its indicator or its text.
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    } else {
        QTest::mouseClick(static_cast<ui::CommandButton*>(control)->button(), Qt::LeftButton);
    }
    return QStringLiteral("click %1").arg(name);
}

QString RandomPlayer::closeWindow(ui::Form& form) {
    form.widget()->close();
    return QStringLiteral("close %1 by its frame").arg(form.name());
}

QString RandomPlayer::key(QChar ch, bool toFocus) {
    Session& s = *session_;
    QWidget* target = entryOf(s);
    if (toFocus) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window()->isVisible())
            target = focus;
    }
    if (target == entryOf(s) && (ch == QLatin1Char(' ') || ch == QLatin1Char('\r')))
        return endWord(ch == QLatin1Char('\r'));
    if (ch == QLatin1Char('\r'))
        QTest::keyClick(target, Qt::Key_Return);
    else if (ch.unicode() < 128)
        QTest::keyClick(target, ch.toLatin1());
    else // a character no key of the test keyboard has, as an input method would deliver it
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    if (target == entryOf(s))
        lastCommitJudged_.clear();
    return QStringLiteral("key U+%1 to %2")
        .arg(ch.unicode(), 4, 16, QLatin1Char('0'))
        .arg(target->objectName());
}

QString RandomPlayer::compose(const QString& preedit, const QString& commit) {
    QLineEdit* box = entryOf(*session_);
    const QString before = box->text();
    QInputMethodEvent event(
        preedit, {{QInputMethodEvent::Cursor, static_cast<int>(preedit.size()), 1, QVariant()}});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(box, &event);
    const bool late = !lastCommitJudged_.isEmpty() && commit == lastCommitJudged_;
    if (late) {
        ++stats_.lateCommits;
        if (box->text() != before)
            problem_ = QStringLiteral("the syllable \"%1\", judged with its word already, came "
                                      "late and started the next word: \"%2\"")
                           .arg(commit, box->text().left(40));
    }
    composing_ = preedit;
    if (late || !commit.isEmpty() || !preedit.isEmpty())
        lastCommitJudged_.clear();
    return QStringLiteral("compose \"%1\" commit \"%2\"").arg(preedit, commit);
}

QString RandomPlayer::endWord(bool enter) {
    Session& s = *session_;
    game::frmlumi& game = s.game;
    QLineEdit* box = entryOf(s);
    // A syllable still composing belongs to the word the key ends.
    QString typed = box->text();
    typed.insert(box->cursorPosition(), composing_);
    const QString judged = trimSpaces(typed);
    int shownOn = -1;
    for (int i = 0; i < game::frmlumi::kWords && shownOn < 0; ++i)
        if (!judged.isEmpty() && game.lbllumi(i).Caption() == judged)
            shownOn = i;
    const double score = number(*game.lblscore);
    const std::int16_t combo = game.ComboCount;

    QTest::keyClick(box, enter ? Qt::Key_Return : Qt::Key_Space);
    lastCommitJudged_ = std::exchange(composing_, QString());
    const QString what =
        QStringLiteral("%1 after \"%2\"")
            .arg(enter ? QStringLiteral("Enter") : QStringLiteral("Space"), typed.left(40));
    if (s.program.ended())
        return what;

    const double now = number(*game.lblscore);
    if (shownOn >= 0 && now <= score)
        problem_ =
            QStringLiteral("\"%1\", shown on lbllumi(%2), scored nothing").arg(judged).arg(shownOn);
    if (shownOn < 0 && now != score)
        problem_ = QStringLiteral("\"%1\", which no word shows, scored").arg(judged.left(40));
    if (shownOn >= 0) {
        ++stats_.hits;
        if (game.ComboCount == 40 && combo != 40)
            ++stats_.superCombos;
    }
    if (box->text() != (enter ? QString() : QStringLiteral(" ")))
        problem_ = QStringLiteral("the entry box holds \"%1\" after the word was ended")
                       .arg(box->text().left(40));
    return what;
}

QString RandomPlayer::paste(const QString& text, bool viaClipboard) {
    if (!viaClipboard) {
        entryOf(*session_)->insert(text);
        return QStringLiteral("insert %1 characters").arg(text.size());
    }
    QApplication::clipboard()->setText(text);
    control(Qt::Key_V, Qt::ControlModifier);
    return QStringLiteral("paste %1 characters").arg(text.size());
}

QString RandomPlayer::control(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(entryOf(*session_), key, modifiers);
    lastCommitJudged_.clear();
    return QStringLiteral("key %1 with modifiers %2").arg(key, 0, 16).arg(modifiers.toInt(), 0, 16);
}

QString RandomPlayer::junk(int longest) {
    const game::frmlumi& game = session_->game;
    QString text;
    const int length = between(0, longest);
    while (text.size() < length) {
        switch (between(0, 4)) {
        case 0:
            text += latin(0x20);
            break;
        case 1:
            text += syllable();
            break;
        case 2:
            text += QLatin1Char(' ');
            break;
        default:
            text += game.WordBank[static_cast<std::size_t>(between(0, 49))];
            break;
        }
    }
    return text;
}

QChar RandomPlayer::syllable() {
    constexpr int kFirst = 0xAC00;
    constexpr int kLast = 0xD7A3;
    if (!options_.narrowAlphabet)
        return QChar(between(kFirst, kLast));
    return QChar(kFirst + 701 * between(0, 15));
}

// A jamo, as an input method shows it before the syllable is whole.
QChar RandomPlayer::letter() {
    return options_.narrowAlphabet ? QChar(between(0x3131, 0x3138))
                                   : QChar(between(0x3131, 0x3163));
}

QChar RandomPlayer::latin(int first) {
    return options_.narrowAlphabet ? QChar(between('a', 'z')) : QChar(between(first, 0x7e));
}

double RandomPlayer::number(const ui::Label& label) const { return ui::numberOf(label.Caption()); }

QString RandomPlayer::check() {
    if (!problem_.isEmpty())
        return std::exchange(problem_, QString());
    const Session& s = *session_;
    if (!s.program.failures.empty())
        return QStringLiteral("the program failed: %1").arg(s.program.failures.front());
    if (s.boxes.openNow != 0 || s.boxes.mostOpenAtOnce > 1)
        return QStringLiteral("%1 message boxes open now, %2 at most")
            .arg(s.boxes.openNow)
            .arg(s.boxes.mostOpenAtOnce);

    const game::frmlumi& game = s.game;
    for (int i = 0; i < game::frmlumi::kWords; ++i) {
        const QString& caption = game.lbllumi(i).Caption();
        if (std::find(game.WordBank.begin(), game.WordBank.end(), caption) == game.WordBank.end())
            return QStringLiteral("lbllumi(%1) shows \"%2\", which the word bank does not hold")
                .arg(i)
                .arg(caption);
    }
    if (game.LifeCursor < 0 || game.LifeCursor > 9)
        return QStringLiteral("LifeCursor is %1").arg(game.LifeCursor);
    if (game.SpeedChr < 5)
        return QStringLiteral("SpeedChr is %1").arg(game.SpeedChr);
    if (game.MissFlag != 0 && game.MissFlag != 1)
        return QStringLiteral("MissFlag is %1").arg(game.MissFlag);
    if (!startedOnce_)
        return {};

    const double lives = number(*game.lblbonus);
    const double score = number(*game.lblscore);
    int gone = 0;
    for (int j = 0; j < game::frmlumi::kMarkers; ++j)
        gone += game.Shplumi(j).BackStyle() == 0 ? 1 : 0;
    if (lives < 0 || lives > 10 || gone != 10 - static_cast<int>(lives))
        return QStringLiteral("%1 lives shown with %2 markers gone").arg(lives).arg(gone);
    if (score < lastScore_)
        return QStringLiteral("the score fell from %1 to %2").arg(lastScore_).arg(score);
    lastScore_ = score;
    return {};
}
