// The program's two windows with the real clock, message boxes and program end, on a real
// display and input method, where every random draw shows "컴퓨터" and no word ever falls.
// Every 50 ms it writes what a player sees (and where to click) to the file named on its
// command line, for tests/ime/run.sh to read:
//   QT_IM_MODULE=ibus ime_driver STATUS_FILE
#include "app/lumivex.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>

#include <cstdio>

namespace {

// int(0.025 × 50) is entry 1 of the Korean bank, and floor(35 × 0.025) a fall of 0 twips.
constexpr float kComputerNeverFalling = 0.025f;

QString centreOf(const QWidget* widget) {
    if (!widget->isVisible())
        return QStringLiteral("hidden");
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    return QStringLiteral("%1 %2").arg(at.x()).arg(at.y());
}

void writeStatus(const QString& path, const app::Windows& windows) {
    const game::frmlumi& game = windows.frmlumi;
    const QWidget* focus = QApplication::focusWidget();
    QString status;
    status += QStringLiteral("intro_button ") + centreOf(windows.frmservices.cmdservice->widget());
    status += QStringLiteral("\nstart_button ") + centreOf(game.cmdstart->widget());
    status += QStringLiteral("\nfocus ") + (focus ? focus->objectName() : QStringLiteral("none"));
    status += QStringLiteral("\nword0 ") + game.lbllumi(0).Caption();
    status += QStringLiteral("\nscore ") + game.lblscore->Caption();
    // Brackets keep the spaces of the box in sight.
    status += QStringLiteral("\nbox [") + game.txtlumi->lineEdit()->text() + QStringLiteral("]\n");
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(status.toUtf8());
        file.commit();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::applyLook();
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: ime_driver STATUS_FILE\n");
        return 2;
    }

    ui::RealClock clock;
    ui::ScriptedRandom random;
    random.repeatWhenEmpty(kComputerNeverFalling);
    ui::QtMessageBoxes messages;
    ui::QtProgram program;
    ui::Services services{clock, random, messages, program};
    app::Windows windows(services);
    windows.open();
    if (program.ended())
        return program.status();

    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] { writeStatus(args[1], windows); });
    status.start(50);
    return QApplication::exec();
}
