#include "lumivex.h"

#include <QStyleFactory>

namespace app {

void applyLook() {
    // Fusion draws button faces in the colours the program sets, on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ui::installFonts();
}

Lumivex::Lumivex(int& argc, char** argv) : application_(argc, argv) { applyLook(); }

int Lumivex::run() {
    windows_.open();
    // A failed start has been reported already, and no window is on screen.
    if (program_.ended())
        return program_.status();
    return QApplication::exec();
}

} // namespace app
