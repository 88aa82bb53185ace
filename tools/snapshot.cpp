// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Renders a window offscreen to a PNG, so the layout can be looked at without a display:
//   QT_QPA_PLATFORM=offscreen lumivex-snapshot game OUT.png [start] [milliseconds] [hit]
//   QT_QPA_PLATFORM=offscreen lumivex-snapshot intro OUT.png [milliseconds]
// "start" clicks Start; milliseconds then let the window run that long on a virtual clock, and
// "hit" types the word on the first label and presses Enter.
// QT_SCALE_FACTOR=2 gives the picture a 200 % desktop would show.
#include "app/lumivex.h"

#include <QPixmap>
#include <QPushButton>
#include <QTest>

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
    std::fprintf(stderr, "usage: lumivex-snapshot game OUT.png [start] [milliseconds] [hit]\n"
                         "       lumivex-snapshot intro OUT.png [milliseconds]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::applyLook();
    QStringList args = QApplication::arguments().mid(1);
    if (args.size() < 2 || (args[0] != QLatin1String("game") && args[0] != QLatin1String("intro")))
        return usage();
    const bool game = args.takeFirst() == QLatin1String("game");
    const QString out = args.takeFirst();
    const bool start = game && !args.isEmpty() && args.front() == QLatin1String("start");
    if (start)
        args.removeFirst();
    const bool hit = game && !args.isEmpty() && args.back() == QLatin1String("hit");
    if (hit)
        args.removeLast();
    const long long milliseconds = args.isEmpty() ? 0 : args.front().toLongLong();

    ui::ManualClock clock;
    FixedSequence random;
    ui::RecordingMessageBoxes messages;
    ui::RecordingProgram program;
    ui::RecordingAnnouncer announcer;
    ui::ScriptedWordListFiles files;
    ui::RecordingGameRecords records;
    ui::Services services{clock, random, messages, program, announcer, files, records};
    app::Windows windows(services);
    ui::Form& window = game ? static_cast<ui::Form&>(windows.frmlumi) : windows.frmservices;
    window.Show();
    if (program.ended()) {
        std::fprintf(stderr, "lumivex-snapshot: %s\n",
                     qPrintable(program.failures.empty() ? QString() : program.failures.front()));
        return 1;
    }
    if (start)
        QTest::mouseClick(windows.frmlumi.cmdstart->button(), Qt::LeftButton);
    clock.advance(milliseconds);
    if (hit) {
        windows.frmlumi.txtlumi->setText(windows.frmlumi.lbllumi(0).Caption());
        QTest::keyClick(windows.frmlumi.txtlumi->widget(), Qt::Key_Return);
    }
    QApplication::processEvents();
    if (!window.widget()->grab().save(out)) {
        std::fprintf(stderr, "lumivex-snapshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
