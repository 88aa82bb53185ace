// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The same empty window with one line of Hangul drawn in it: the floor of a window that shows
// any text, fontconfig's start and one Hangul face included.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("신의 가호가 있기를"));
    window.setFont(QFont(QStringLiteral("NanumGothic"), 11));
    window.setWindowTitle(QStringLiteral("baseline"));
    window.setFixedSize(583, 407);
    window.show();
    return QApplication::exec();
}
