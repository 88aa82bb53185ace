// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

namespace words {

// A player's own words, by language. A set left empty leaves that language its built-in words.
struct WordList {
    QString path;
    QStringList korean;
    QStringList english;

    QString name() const;
    // Sixteen hex digits that change with any word or its place, and with nothing else.
    QString digest() const;
};

// Why a file cannot be a word list, in one line that names the file (and the line, for a word).
class BadWordList : public std::runtime_error {
public:
    explicit BadWordList(const QString& message);
    QString message() const;
};

constexpr qint64 kLargestFile = 1024 * 1024;
constexpr int kMostWords = 10000;

// Why a word would not fit where it falls, or nothing when it fits.
using TooWide = std::function<std::optional<QString>(const QString& word)>;

// One word a line, in UTF-8 with or without a byte-order mark. Blank lines and lines that
// begin with # are skipped; a word is its line without the blanks at either end, in NFC.
WordList read(const QString& path, const TooWide& tooWide);

// The keys a word takes: on the Korean 2-set layout a syllable is typed jamo by jamo, a compound
// vowel (ㅘ) or final (ㄳ) as two keys and a double consonant (ㄲ) as one, with Shift; any other
// character is one key.
int strokes(const QString& word);

} // namespace words
