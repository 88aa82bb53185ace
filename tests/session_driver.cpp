// A short game of the real program, played by real events on real timers: start, open the
// game, type some of the falling words, let the rest fall to Game Over, answer the box, and
// end. It runs under Valgrind and the sanitizers, where a scripted session shows what a
// player's session does to memory.
//
//   session_driver            answers the box with OK and ends with Exit
//   session_driver --frames   closes the box and then the game window by their frames
#include "app/lumivex.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kStepMs = 250;
constexpr int kWordsToType = 6;
constexpr int kGiveUpMs = 240'000;

class Script {
public:
    Script(app::Windows& windows, bool byFrames) : w_(windows), byFrames_(byFrames) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
        timer_.start(kStepMs);
        QTimer::singleShot(kGiveUpMs, [] {
            std::fprintf(stderr, "session_driver: the session did not end in time\n");
            std::_Exit(2);
        });
    }

    bool done() const { return phase_ == Phase::Ended; }
    int hits() const { return hits_; }
    bool sawGameOver() const { return sawGameOver_; }

private:
    enum class Phase { Intro, Setup, Typing, Falling, Ending, Ended };

    void step() {
        game::frmlumi& game = w_.frmlumi;
        switch (phase_) {
        case Phase::Intro:
            QTest::mouseClick(w_.frmservices.cmdservice->button(), Qt::LeftButton);
            phase_ = Phase::Setup;
            break;
        case Phase::Setup:
            click(*game.optenglish);
            QTest::mouseClick(game.cmdstart->button(), Qt::LeftButton);
            // Fast, clicked during the game: the words fall at their quickest.
            click(*game.optfast);
            phase_ = Phase::Typing;
            break;
        case Phase::Typing:
            typeLowestWord();
            if (++typed_ == kWordsToType)
                phase_ = Phase::Falling;
            break;
        case Phase::Falling:
            // The box's own event loop keeps this timer running: answer it as a player would.
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                sawGameOver_ = box->windowTitle() == QStringLiteral("Game Over!");
                if (byFrames_)
                    box->close();
                else
                    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            } else if (sawGameOver_ && game.cmdstart->Enabled()) {
                phase_ = Phase::Ending;
            }
            break;
        case Phase::Ending:
            phase_ = Phase::Ended;
            if (byFrames_)
                game.widget()->close();
            else
                QTest::mouseClick(game.cmdexit->button(), Qt::LeftButton);
            break;
        case Phase::Ended:
            break;
        }
    }

    static void click(ui::OptionButton& option) {
        QRadioButton* radio = option.radio();
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    void typeLowestWord() {
        game::frmlumi& game = w_.frmlumi;
        int lowest = 0;
        for (int i = 1; i < game::frmlumi::kWords; ++i)
            if (game.lbllumi(i).Top() > game.lbllumi(lowest).Top())
                lowest = i;
        const QString score = game.lblscore->Caption();
        QLineEdit* box = game.txtlumi->lineEdit();
        QTest::keyClicks(box, game.lbllumi(lowest).Caption());
        QTest::keyClick(box, Qt::Key_Return);
        if (game.lblscore->Caption() != score)
            ++hits_;
    }

    app::Windows& w_;
    bool byFrames_;
    QTimer timer_;
    Phase phase_ = Phase::Intro;
    int typed_ = 0;
    int hits_ = 0;
    bool sawGameOver_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const bool byFrames = argc > 1 && std::strcmp(argv[1], "--frames") == 0;
    QApplication application(argc, argv);
    app::applyLook();
    ui::RealClock clock;
    ui::SystemRandom random;
    ui::QtMessageBoxes messages;
    ui::QtProgram program;
    ui::Services services{clock, random, messages, program};
    app::Windows windows(services);
    windows.open();
    if (program.ended())
        return program.status();

    Script script(windows, byFrames);
    const int status = QApplication::exec();
    std::printf("session_driver: %d words hit, %s, ended %s with status %d\n", script.hits(),
                script.sawGameOver() ? "Game Over seen" : "no Game Over",
                byFrames ? "by the window's frame" : "by Exit", status);
    if (status != 0 || !script.done() || !program.ended() || script.hits() == 0 ||
        !script.sawGameOver())
        return 3;
    return 0;
}
