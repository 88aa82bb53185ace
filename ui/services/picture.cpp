// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "picture.h"

#include "errors.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ui {

namespace {

// Far above any icon this program ships, far below what would hurt to read.
constexpr qint64 kLargestIcon = 4 * 1024 * 1024;

// Qt's and the C library's texts begin with a capital; here they follow a colon.
QString lowerFirst(QString text) {
    if (!text.isEmpty())
        text[0] = text.at(0).toLower();
    return text;
}

QString statCause(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            struct stat link {};
            if (::lstat(QFile::encodeName(path).constData(), &link) == 0)
                return QStringLiteral("it is a link to a file that does not exist");
            return QStringLiteral("the file does not exist");
        }
        if (error == ELOOP)
            return QStringLiteral("it is a link that leads round a loop of links");
        return QStringLiteral("it cannot be reached (%1)")
            .arg(lowerFirst(QString::fromLocal8Bit(std::strerror(error))));
    }
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder, not a file");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("it is a socket, not a file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("it is a device, not a file");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    if (st.st_size == 0)
        return QStringLiteral("the file is empty");
    if (st.st_size > kLargestIcon)
        return QStringLiteral("the file is too large to be an icon (%1 bytes)").arg(st.st_size);
    return {};
}

// An icon's header lists where each of its images lies; one that ends past the end of the
// file tells a file cut short, which Qt's reader reports no better than any damage.
QString truncationCause(const QByteArray& bytes) {
    const auto byte = [&](qsizetype at) {
        return static_cast<qint64>(static_cast<quint8>(bytes[at]));
    };
    const auto u16 = [&](qsizetype at) { return byte(at) | byte(at + 1) << 8; };
    const auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    if (bytes.size() < 6 || u16(0) != 0 || (u16(2) != 1 && u16(2) != 2))
        return {};
    const qint64 count = u16(4);
    qint64 needed = 6 + 16 * count;
    for (qint64 i = 0; i < count && needed <= bytes.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        needed = std::max(needed, u32(entry + 12) + u32(entry + 8));
    }
    if (needed <= bytes.size())
        return {};
    return QStringLiteral("the icon is cut short (the file has %1 bytes, its header promises %2)")
        .arg(bytes.size())
        .arg(needed);
}

} // namespace

Picture loadPicture(const QString& fileName) {
    const QString folder = QDir::currentPath();
    const QString path = QDir(folder).filePath(fileName);
    auto fail = [&](const QString& cause) { return PictureLoadError(fileName, folder, cause); };

    // Look before opening: a named pipe would block the start-up on open().
    if (const QString cause = statCause(path); !cause.isEmpty())
        throw fail(cause);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fail(QStringLiteral("it cannot be opened (%1)").arg(lowerFirst(file.errorString())));
    QByteArray bytes = file.read(kLargestIcon + 1);
    if (file.error() != QFileDevice::NoError)
        throw fail(QStringLiteral("it cannot be read (%1)").arg(lowerFirst(file.errorString())));
    if (const QString cause = truncationCause(bytes); !cause.isEmpty())
        throw fail(cause);

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    const int count = reader.imageCount();
    for (int i = 0; i < count && reader.jumpToImage(i); ++i) {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull()) {
        // A picture of another kind renamed is a common mistake; naming the kind helps.
        buffer.seek(0);
        const QByteArray format = QImageReader::imageFormat(&buffer);
        if (QByteArrayList{"png", "jpeg", "gif", "bmp", "webp"}.contains(format))
            throw fail(QStringLiteral("it is a %1 image, not an icon")
                           .arg(QString::fromLatin1(format).toUpper()));
        // Qt's reader often knows no more than that; then saying so adds nothing.
        const QString detail = reader.error() == QImageReader::UnknownError
                                   ? QString()
                                   : QStringLiteral(" (%1)").arg(lowerFirst(reader.errorString()));
        throw fail(QStringLiteral("it is not an icon image") + detail);
    }
    return Picture(icon);
}

} // namespace ui
