#include "support/lumivex_process.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const QString kIcon = QStringLiteral("NoviIcon.ico");

QByteArray noise(qsizetype size) {
    QRandomGenerator generator(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray png() {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Root reads any file whatever its mode; only another user can meet a file it may not read.
bool everyoneCanRun(const QString& path) {
    QFileInfo info(path);
    if (!(info.permissions() & QFileDevice::ExeOther))
        return false;
    for (QDir dir = info.absoluteDir(); !dir.isRoot(); dir.cdUp())
        if (!(QFileInfo(dir.absolutePath()).permissions() & QFileDevice::ExeOther))
            return false;
    return true;
}

} // namespace

class BadStart : public QObject {
    Q_OBJECT
    QByteArray goodIcon_;

private slots:
    void initTestCase() {
        QFile icon(kIcon);
        QVERIFY(icon.open(QIODevice::ReadOnly));
        goodIcon_ = icon.readAll();
    }

    void badIconShouldEndTheStartWithOneLineNamingFileAndCause_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        const auto row = [](const char* kind, const char* cause) {
            QTest::newRow(kind) << QString::fromLatin1(kind) << QString::fromLatin1(cause);
        };
        row("missing", "the file does not exist");
        row("empty", "the file is empty");
        row("truncated", "the icon is cut short (the file has 100 bytes, its header promises");
        row("random bytes", "it is not an icon image");
        row("PNG renamed", "it is a PNG image, not an icon");
        row("100 MiB", "the file is too large to be an icon (104857600 bytes)");
        row("folder", "it is a folder, not a file");
        row("unreadable", "it cannot be opened (permission denied)");
        row("dangling link", "it is a link to a file that does not exist");
        row("link loop", "it is a link that leads round a loop of links");
        row("named pipe", "it is a named pipe, not a file");
    }

    void badIconShouldEndTheStartWithOneLineNamingFileAndCause() {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString icon = folder.filePath(kIcon);
        bool asNobody = false;

        if (kind == QLatin1String("empty")) {
            QVERIFY(write(icon, {}));
        } else if (kind == QLatin1String("truncated")) {
            QVERIFY(write(icon, goodIcon_.left(100)));
        } else if (kind == QLatin1String("random bytes")) {
            QVERIFY(write(icon, noise(3000)));
        } else if (kind == QLatin1String("PNG renamed")) {
            QVERIFY(write(icon, png()));
        } else if (kind == QLatin1String("100 MiB")) {
            QFile file(icon);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(100 * 1024 * 1024)); // sparse: costs no disk
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(folder.path()).mkdir(kIcon));
        } else if (kind == QLatin1String("unreadable")) {
            QVERIFY(write(icon, goodIcon_));
            QVERIFY(QFile::setPermissions(icon, {}));
            asNobody = ::geteuid() == 0;
            if (asNobody && !everyoneCanRun(QStringLiteral(LUMIVEX_EXECUTABLE)))
                QSKIP("Running as root, which reads any file; the program would have to run as "
                      "nobody, who cannot reach it in this build folder.");
        } else if (kind == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(QStringLiteral("gone.ico"), icon));
        } else if (kind == QLatin1String("link loop")) {
            QVERIFY(QFile::link(QStringLiteral("other.ico"), icon));
            QVERIFY(QFile::link(kIcon, folder.filePath(QStringLiteral("other.ico"))));
        } else if (kind == QLatin1String("named pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(icon).constData(), 0644), 0);
        }
        const QStringList before =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);

        // Qt wants a runtime folder of the user's own; without one it warns on standard error.
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcess lumivex;
        if (asNobody) {
            // The folder must let nobody in.
            QVERIFY(QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) |
                                                             QFileDevice::ExeOther));
            QCOMPARE(::chown(QFile::encodeName(runtime.path()).constData(), kNobody, kNobody), 0);
            lumivex.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                    ::setuid(kNobody) != 0)
                    ::_exit(126);
            });
        }
        startLumivex(lumivex, folder.path(), [&](QProcessEnvironment& environment) {
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(lumivex.waitForStarted());
        if (!lumivex.waitForFinished(2000)) {
            lumivex.kill();
            lumivex.waitForFinished();
            QFAIL("the program was still running 2 seconds after its start");
        }
        qInfo("%s: ended after %lld ms", qPrintable(kind), static_cast<long long>(clock.elapsed()));
        QCOMPARE(lumivex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lumivex.exitCode(), 1);

        const QStringList lines = errorLines(lumivex);
        QCOMPARE(lines.size(), 1);
        const QString& report = lines.front();
        QVERIFY2(report.startsWith(QStringLiteral("lumivex: Cannot load \"NoviIcon.ico\"")),
                 qPrintable(report));
        QVERIFY2(report.contains(QDir(folder.path()).canonicalPath()), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral(": ") + cause), qPrintable(report));
        QVERIFY(lumivex.readAllStandardOutput().isEmpty());
        // Nothing is written beside the icon.
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            before);
    }
};

QTEST_MAIN(BadStart)
#include "tst_bad_start.moc"
