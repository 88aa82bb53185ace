// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Takes one size out of the program's icon file, for the desktop's icon theme:
//   lumivex-icon-png NoviIcon.ico 48 OUT.png
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: lumivex-icon-png ICON.ico SIZE OUT.png\n");
        return 2;
    }
    const int size = args[1].toInt();
    QImageReader reader(args[0], "ico");
    // The file holds its sizes one image after another; take the one asked for.
    do {
        const QImage image = reader.read();
        if (image.size() == QSize(size, size))
            return image.save(args[2], "PNG") ? 0 : 1;
    } while (reader.jumpToNextImage());
    std::fprintf(stderr, "lumivex-icon-png: no %dx%d image in %s\n", size, size,
                 qPrintable(args[0]));
    return 1;
}
