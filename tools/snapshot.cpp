// Renders a window offscreen to a PNG, so the layout can be looked at without a display:
//   QT_QPA_PLATFORM=offscreen lumivex-snapshot game out.png [start] [milliseconds]
// "start" clicks Start; milliseconds then let the game run that long on a virtual clock.
#include "game/frmlumi.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <random>

namespace {

// The same words on every run, so two snapshots can be compared.
class FixedSequence final : public ui::RandomSource {
public:
    void seedFromClock() override { engine_.seed(1); }
    float next() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 engine_{1};
};

int usage() {
    std::fprintf(stderr, "usage: lumivex-snapshot game OUT.png [start] [milliseconds]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ui::installFonts();
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2 || args[0] != QLatin1String("game"))
        return usage();

    ui::ManualClock clock;
    FixedSequence random;
    ui::RecordingMessageBoxes messages;
    ui::RecordingProgram program;
    ui::Services services{clock, random, messages, program};
    {
        game::frmlumi window(services);
        window.Show();
        if (program.ended()) {
            std::fprintf(
                stderr, "lumivex-snapshot: %s\n",
                qPrintable(program.failures.empty() ? QString() : program.failures.front()));
            return 1;
        }
        if (args.size() > 2 && args[2] == QLatin1String("start"))
            QTest::mouseClick(window.cmdstart->button(), Qt::LeftButton);
        if (args.size() > 3)
            clock.advance(args[3].toLongLong());
        QApplication::processEvents();
        if (!window.widget()->grab().save(args[1])) {
            std::fprintf(stderr, "lumivex-snapshot: cannot write %s\n", qPrintable(args[1]));
            return 1;
        }
    }
    return 0;
}
