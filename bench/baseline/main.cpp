// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor any Qt 6 Widgets program pays: one empty window, the size of the intro window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("baseline"));
    window.setFixedSize(583, 407);
    window.show();
    return QApplication::exec();
}
