// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How long a list of 10,000 words takes to read as --words and Ctrl+O read it (the file read,
// checked and normalised, each word measured against the play field), what a start with no
// list pays to learn that none is remembered, and how long a word may be. bench/run.sh words.
#include "app/lumivex.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

// Half Korean, half English, as long as a teacher's words are; a comment every 50 lines. The
// Korean words are made of 2,350 syllables, as many as everyday text uses (the KS X 1001 set),
// not of all 11,172: each syllable's first measure loads its glyph.
QByteArray tenThousandWords() {
    std::mt19937 chance(10000);
    const auto between = [&](int low, int high) {
        return low + static_cast<int>(chance() % static_cast<unsigned>(high - low + 1));
    };
    std::vector<QChar> syllables;
    for (int n = 0; n < 2350; ++n)
        syllables.push_back(QChar(0xAC00 + between(0, 11171)));
    QString text;
    for (int n = 0; n < 10000; ++n) {
        if (n % 50 == 0)
            text += QStringLiteral("# lesson %1\n").arg(n / 50);
        for (int k = between(n % 2 ? 3 : 2, n % 2 ? 10 : 5); k > 0; --k)
            text += n % 2 ? QChar(u'a' + between(0, 25)) : syllables[std::size_t(between(0, 2349))];
        text += u'\n';
    }
    return text.toUtf8();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::applyLook();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("10000.txt"));
    QFile file(path);
    const QByteArray bytes = tenThousandWords();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return std::fprintf(stderr, "cannot write %s\n", qPrintable(path)), 1;
    file.close();

    QElapsedTimer clock;
    clock.start();
    const QString remembered = ui::DesktopWordListFiles().remembered();
    const double lookedUp = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    std::vector<double> reads;
    std::size_t words = 0;
    for (int run = 0; run < 30; ++run) {
        clock.restart();
        try {
            const words::WordList list = words::read(path, game::frmlumi::fieldFit());
            words = static_cast<std::size_t>(list.korean.size() + list.english.size());
        } catch (const words::BadWordList& bad) {
            return std::fprintf(stderr, "%s\n", qPrintable(bad.message())), 1;
        }
        reads.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }

    std::printf("| Figure | Measured | Target |\n|---|---|---|\n");
    std::printf("| Reading a list of %zu words (%lld KiB), checked and measured, the first time "
                "in the process, as at a start (ms) | %.2f | ≤ 20 |\n",
                words, static_cast<long long>(bytes.size() / 1024), reads.front());
    reads.erase(reads.begin());
    std::printf("| The same, read again, as a second Ctrl+O (ms): min / median / max of %zu | "
                "%.2f / %.2f / %.2f | ≤ 20 |\n",
                reads.size(), *std::min_element(reads.begin(), reads.end()), median(reads),
                *std::max_element(reads.begin(), reads.end()));
    std::printf("| Learning at start that no list is remembered (ms, once) | %.2f%s |  |\n",
                lookedUp, remembered.isEmpty() ? "" : " (one was)");
    const words::TooWide fit = game::frmlumi::fieldFit();
    QStringList longest;
    for (const char16_t* letter : {u"i", u"a", u"m", u"W", u"한"}) {
        const QString one = QString::fromUtf16(letter);
        QString word = one;
        while (!fit(word + one))
            word += one;
        longest << QStringLiteral("%1 × %2").arg(word.size()).arg(one);
    }
    std::printf("| The longest word of one letter that fits the play field | %s |  |\n",
                qPrintable(longest.join(QStringLiteral(", "))));
    return 0;
}
