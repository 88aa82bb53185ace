#include "picture.h"

#include "errors.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace ui {

namespace {

// Far above any icon this program ships, far below what would hurt to read.
constexpr qint64 kLargestIcon = 4 * 1024 * 1024;

QString statCause(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT) {
            struct stat link {};
            if (::lstat(QFile::encodeName(path).constData(), &link) == 0)
                return QStringLiteral("it is a link to a file that does not exist");
            return QStringLiteral("the file does not exist");
        }
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder, not a file");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    if (st.st_size == 0)
        return QStringLiteral("the file is empty");
    if (st.st_size > kLargestIcon)
        return QStringLiteral("the file is too large to be an icon (%1 bytes)").arg(st.st_size);
    return {};
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
        throw fail(file.errorString());
    QByteArray bytes = file.read(kLargestIcon + 1);
    if (file.error() != QFileDevice::NoError)
        throw fail(file.errorString());

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
        // Qt's reader often knows no more than that; then saying so adds nothing.
        const QString detail = reader.error() == QImageReader::UnknownError
                                   ? QString()
                                   : QStringLiteral(" (%1)").arg(reader.errorString());
        throw fail(QStringLiteral("it is not an icon image") + detail);
    }
    return Picture(icon);
}

} // namespace ui
