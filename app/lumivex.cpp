#include "lumivex.h"

#include <QStyleFactory>

namespace app {

Lumivex::Lumivex(int& argc, char** argv) : application_(argc, argv) {
    // Fusion draws button faces in the colours the program sets, on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ui::installFonts();
}

int Lumivex::run() {
    frmlumi_.Show();
    if (program_.ended())
        return program_.status();
    return QApplication::exec();
}

} // namespace app
