// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "word_list.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace words {

namespace {

// Qt's and the C library's texts begin with a capital; here they follow a parenthesis.
QString cannotRead(QString why) {
    if (!why.isEmpty())
        why[0] = why.at(0).toLower();
    return QStringLiteral("it cannot be read (%1)").arg(why);
}

// At most one byte more than a list may hold: enough to tell that it holds too much.
QByteArray contentOf(const QString& path) {
    const auto fail = [&](const QString& why) { return BadWordList(path + u": "_s + why); };
    // Without blocking: opening a named pipe would wait for a writer that never comes.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw fail(errno == ENOENT ? QStringLiteral("the file does not exist")
                                   : cannotRead(QString::fromLocal8Bit(std::strerror(errno))));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw fail(cannotRead(file.errorString()));
    // What it is now that it is open: looked at before, it could be swapped in between.
    struct stat st {};
    ::fstat(fd, &st);
    if (S_ISDIR(st.st_mode))
        throw fail(QStringLiteral("it is a folder, not a file"));
    if (!S_ISREG(st.st_mode))
        throw fail(QStringLiteral("it is not a regular file"));
    const auto tooLarge = [&](qint64 size) {
        return fail(QStringLiteral("it is larger than 1 MiB (%1 bytes); a word list holds at "
                                   "most %2 bytes")
                        .arg(size)
                        .arg(kLargestFile));
    };
    if (st.st_size > kLargestFile)
        throw tooLarge(st.st_size);
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError)
        throw fail(cannotRead(file.errorString()));
    if (bytes.size() > kLargestFile) // it grew while it was read
        throw tooLarge(bytes.size());
    return bytes;
}

int lineAt(const QByteArray& bytes, qsizetype offset) {
    return static_cast<int>(bytes.left(offset).count('\n')) + 1;
}

// The first line that is not UTF-8; only looked for once the whole is known to be bad.
int firstBadLine(const QByteArray& bytes) {
    int number = 1;
    for (const QByteArray& line : bytes.split('\n')) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(line);
        if (utf8.hasError())
            return number;
        ++number;
    }
    return number;
}

// A line may be a megabyte long: a message shows only its beginning.
QString quoted(QStringView word) {
    constexpr qsizetype kShown = 40;
    return u'"' + word.left(kShown).toString() + (word.size() > kShown ? u"…\""_s : u"\""_s);
}

bool isHangul(const QString& word) {
    for (const QChar ch : word)
        if (ch.script() == QChar::Script_Hangul)
            return true;
    return false;
}

} // namespace

QString WordList::name() const { return QFileInfo(path).fileName(); }

QString WordList::digest() const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QStringList* set : {&korean, &english}) {
        for (const QString& word : *set)
            hash.addData(word.toUtf8().append('\n'));
        hash.addData(QByteArrayView("\f")); // a word is not the same in the other language
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

int strokes(const QString& word) {
    // Vowels and finals in Unicode's order of the syllable block: 2 for those typed with two keys.
    static constexpr char kVowelKeys[] = "111111111222112221121";        // ㅏ ... ㅣ
    static constexpr char kFinalKeys[] = "0112122112222222112111111111"; // none, ㄱ ... ㅎ
    // The compatibility jamo ㄱ (U+3131) to ㅣ (U+3163), as they stand alone.
    static constexpr char kJamoKeys[] = "112122111222222211121111111111111111111222112221121";
    int keys = 0;
    for (const char32_t c : word.toUcs4()) {
        if (c >= 0xAC00 && c <= 0xD7A3) {
            const char32_t index = c - 0xAC00;
            keys += 1 + (kVowelKeys[index / 28 % 21] - '0') + (kFinalKeys[index % 28] - '0');
        } else if (c >= 0x3131 && c <= 0x3163) {
            keys += kJamoKeys[c - 0x3131] - '0';
        } else {
            ++keys;
        }
    }
    return keys;
}

BadWordList::BadWordList(const QString& message) : std::runtime_error(message.toStdString()) {}

QString BadWordList::message() const { return QString::fromStdString(what()); }

WordList read(const QString& path, const TooWide& tooWide) {
    const QByteArray bytes = contentOf(path);
    const auto fail = [&](const QString& why) { return BadWordList(path + u": "_s + why); };
    const auto failAt = [&](int line, const QString& why) {
        return fail(QStringLiteral("line %1: %2").arg(line).arg(why));
    };
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        throw failAt(lineAt(bytes, nul),
                     QStringLiteral("it holds a NUL byte; a word list is text"));
    QStringDecoder utf8(QStringDecoder::Utf8); // which drops a byte-order mark
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw failAt(firstBadLine(bytes), QStringLiteral("it is not UTF-8 text"));

    WordList list{path, {}, {}};
    int number = 0;
    int count = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        for (const QChar ch : trimmed) {
            if (ch.isSpace())
                throw failAt(number, quoted(trimmed) + u" has a blank inside, and a typed "
                                                       u"word ends at the first"_s);
            if (ch.category() == QChar::Other_Control)
                throw failAt(
                    number,
                    QStringLiteral("it holds the control character U+%1, which "
                                   "cannot be typed")
                        .arg(QString::number(ch.unicode(), 16).rightJustified(4, u'0').toUpper()));
        }
        if (++count > kMostWords)
            throw fail(QStringLiteral("it holds more than %1 words").arg(kMostWords));
        const QString word = trimmed.toString().normalized(QString::NormalizationForm_C);
        if (const auto why = tooWide(word))
            throw failAt(number, quoted(word) + u' ' + *why);
        (isHangul(word) ? list.korean : list.english).push_back(word);
    }
    if (count == 0)
        throw fail(QStringLiteral("it has no word (one word a line; lines that begin with # are "
                                  "comments)"));
    return list;
}

} // namespace words
