// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Word-list files as players write them, as they break, and as chance mangles them.
#include "support/rig.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <random>

using namespace Qt::StringLiterals;

namespace {

QString write(const QTemporaryDir& folder, const QByteArray& bytes,
              const QString& name = u"list.txt"_s) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (bytes == "fifo")
        ::mkfifo(QFile::encodeName(path).constData(), 0644);
    else if (bytes == "loop")
        QFile::link(name, path);
    else if (bytes == "folder")
        QDir(folder.path()).mkdir(name);
    else if (bytes != "missing" && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// "words: Korean words | English words", or what the reader says after the file's name.
QString readBack(const QString& path) {
    try {
        const words::WordList list = words::read(path, game::frmlumi::fieldFit());
        return u"words: "_s + list.korean.join(u' ') + u" | "_s + list.english.join(u' ');
    } catch (const words::BadWordList& bad) {
        return bad.message().startsWith(path + u": "_s) ? bad.message().mid(path.size() + 2)
                                                        : bad.message();
    }
}

} // namespace

class Words : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void readerShouldKeepEachWordOrSayWhyNot_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("read"); // the words, or how the message begins
        const auto row = [](const char* what, const QByteArray& bytes, const QString& read) {
            QTest::newRow(what) << bytes << read;
        };
        row("mark, CR LF, comments, blanks", "\xEF\xBB\xBF# 과일\r\n\r\n  apple \r\n\t사과\t\r\n#x",
            u"words: 사과 | apple"_s);
        row("decomposed Hangul, repeats",
            u"사과\nb\nK팝\nb\n"_s.normalized(QString::NormalizationForm_D).toUtf8(),
            u"words: 사과 K팝 | b b"_s);
        row("10000 words", QByteArray("a\n").repeated(10000),
            u"words:  | "_s + QStringList(10000, u"a"_s).join(u' '));
        row("1 MiB", QByteArray(words::kLargestFile - 2, '#') + "\na", u"words:  | a"_s);
        row("missing", "missing", u"the file does not exist"_s);
        row("folder", "folder", u"it is a folder, not a file"_s);
        row("link loop", "loop", u"it cannot be read (too many levels of symbolic links)"_s);
        row("named pipe", "fifo", u"it is not a regular file"_s);
        row("empty", "", u"it has no word (one word a line; lines that begin with # are"_s);
        row("Latin-1", "a\n\n\xE9t\xE9\n", u"line 3: it is not UTF-8 text"_s);
        row("a NUL", "a\nb\0c\n"_ba, u"line 2: it holds a NUL byte; a word list is text"_s);
        row("a NUL first", "\0a"_ba, u"line 1: it holds a NUL byte"_s);
        row("10001 words", QByteArray("a\n").repeated(10001), u"it holds more than 10000 words"_s);
        row("over 1 MiB", QByteArray(words::kLargestFile + 1, 'a'),
            u"it is larger than 1 MiB (1048577 bytes); a word list holds at most 1048576"_s);
        row("a space inside", "a\n ice cream \n",
            u"line 2: \"ice cream\" has a blank inside, and"_s);
        row("a tab inside", "아이스\t크림", u"line 1: \"아이스\t크림\" has a blank inside"_s);
        row("an escape", "a\x1B", u"line 1: it holds the control character U+001B, which cannot"_s);
        row("a megabyte-long word", QByteArray(1000000, 'w'),
            u"line 1: \""_s + QString(40, u'w') + u"…\" is too long for the play field: 1000000"_s);
    }

    void readerShouldKeepEachWordOrSayWhyNot() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, read);
        QTemporaryDir folder;
        const QString got = readBack(write(folder, bytes));
        QVERIFY2(read.startsWith(u"words: "_s) ? got == read : got.startsWith(read),
                 qPrintable(got));
    }

    // The longest word of a letter that the reader takes lies wholly inside the window in the
    // column that leaves it least room; with one letter more it would not, and the reader says so.
    void widestWordShouldFitTheRightmostColumn() {
        Rig r;
        game::frmlumi& w = r.open();
        const QRect field = w.widget()->rect();
        const words::TooWide fit = game::frmlumi::fieldFit();
        for (const QString& letter : {u"m"_s, u"i"_s, u"한"_s}) {
            QString word = letter;
            while (!fit(word + letter))
                word += letter;
            QVERIFY(fit(word + letter)->startsWith(u"is too wide for the play field: "_s));
            w.lbllumi(4).setCaption(word); // the rightmost column
            QVERIFY(field.contains(w.lbllumi(4).pixelRect()));
            w.lbllumi(4).setCaption(word + letter);
            QVERIFY(!field.contains(w.lbllumi(4).pixelRect()));
        }
    }

    // Chosen with Ctrl+O between games, a list plays as the built-in words do, in the language
    // it has words for, and the next run starts with it; Ctrl+Shift+O goes back. Nothing moves
    // while the chooser is open. A list remembered but gone is forgotten; --words is not kept.
    void ownWordsShouldBeChosenBetweenGamesAndPlayAsTheBuiltInOnes() {
        QTemporaryDir folder, other;
        const QString list = write(folder, "# 3주\n사과\n바나나\n수박\n");
        const QString bad = write(other, "사과\nice cream\n");
        const std::vector<QString> own{u"사과"_s, u"바나나"_s, u"수박"_s};
        const auto of3 = [](int k) { return (static_cast<float>(k) + 0.5f) / 3.0f; };
        Rig r;
        r.files.memory = folder.filePath(u"gone.txt"_s);
        QVERIFY(!app::startWords(r.w, r.files, {}) && r.files.memory.isEmpty());
        game::frmlumi& w = r.open();
        const std::vector<QString> builtIn = w.WordBank;
        const auto keys = [&](Qt::KeyboardModifiers also = {}) {
            QTest::keyClick(w.widget(), Qt::Key_O, Qt::ControlModifier | also);
        };
        r.files.chosen = list, r.files.whileOpen = [&] { r.clock.advance(2000); };
        r.random.push({of3(2), of3(0), of3(1), of3(2), of3(2), of3(0)});
        keys();
        // Held, two seconds on: they stop at their first tick.
        QVERIFY(r.clock.now() == 2000 && w.Timer1->Enabled() && w.Timer3->Enabled());
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == QDir::homePath() && w.WordBank == own);
        for (const int i : {0, 3, 4})
            QVERIFY(w.lbllumi(i).Caption() == u"수박"_s && !w.lbllumi(i).Visible());
        // Played as a player plays: Korean composed, a hit, a miss; neither Ctrl+O nor
        // Ctrl+Shift+O does anything meanwhile.
        r.click(*w.cmdstart), keys(), keys(Qt::ShiftModifier);
        r.type(u"수박"_s), r.random.push(of3(1)), r.press(Qt::Key_Return);
        QVERIFY(w.lblscore->Caption() == u"1"_s && w.lbllumi(0).Caption() == u"바나나"_s);
        r.miss();
        QVERIFY(w.lblbonus->Caption() == u"9"_s && w.lbllumi(5).Caption() == u"사과"_s);
        // The list has no English: that language keeps its own words.
        r.random.repeatWhenEmpty(0), r.click(*w.optenglish);
        QVERIFY(w.WordBank.size() == builtIn.size() && w.WordBank != builtIn);
        r.click(*w.optkorean);
        // A list that cannot be played is said in a box, and the one in use stays; so does a
        // cancelled choice.
        r.files.chosen = bad, keys();
        QVERIFY(r.boxes.shown.size() == 1 &&
                r.boxes.shown[0].prompt.startsWith(bad + u": line 2: \"ice cream\" has a blank"_s));
        r.files.chosen.clear(), keys();
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == folder.path() && w.WordBank == own && r.files.opened == 3);
        keys(Qt::ShiftModifier);
        QVERIFY(w.Caption() == u"Lumivex"_s && r.files.memory.isEmpty() && w.WordBank == builtIn);
        Rig next, asked;
        next.files.memory = list, asked.files.memory = bad;
        QVERIFY(!app::startWords(next.w, next.files, {}) &&
                !app::startWords(asked.w, asked.files, list));
        QVERIFY(next.open().Caption() == u"Lumivex — list.txt"_s && next.w.WordBank == own);
        QVERIFY(asked.open().Caption() == u"Lumivex — list.txt"_s && asked.files.memory == bad);
    }

    // The examples, then 1000 mutations of them: each reads, or is refused in one line that
    // names the file; no sanitizer has anything to say.
    void mutatedListsShouldReadOrBeRefusedInOneLine() {
        QTemporaryDir folder;
        std::mt19937 chance(2026);
        const auto below = [&](qsizetype n) {
            return static_cast<qsizetype>(chance() %
                                          static_cast<unsigned>(std::max<qsizetype>(n, 1)));
        };
        QByteArrayList seeds;
        for (const char* name : {"korean", "english"}) {
            QFile example(u"share/lumivex/words/%1.txt"_s.arg(QLatin1String(name)));
            QVERIFY(example.open(QIODevice::ReadOnly));
            seeds << example.readAll();
        }
        int read = 0;
        for (int n = -2; n < 1000; ++n) {
            QByteArray bytes = seeds[n & 1];
            for (int edits = n < 0 ? 0 : 1 + below(4); edits > 0; --edits) {
                const qsizetype at = below(bytes.size()), how = below(4);
                if (how == 0) // a byte flipped, some bytes put in, the end cut, a chunk repeated
                    bytes[at] = static_cast<char>(chance());
                else if (how == 1)
                    bytes.insert(at,
                                 QByteArray(1 + below(3), "\0\n #\t\xE0\xED\xFF\x80w"[below(10)]));
                else if (how == 2)
                    bytes.truncate(at);
                else
                    bytes.insert(at,
                                 bytes.mid(below(bytes.size()), below(400)).repeated(1 + below(8)));
            }
            const QString path = write(folder, bytes), got = readBack(path);
            const bool words = got.startsWith(u"words: "_s);
            QVERIFY2(words || (n >= 0 && !got.startsWith(u'/') && !got.contains(u'\n')),
                     qPrintable(got));
            QVERIFY(!words || got.normalized(QString::NormalizationForm_C) == got);
            read += words;
        }
        qInfo("%d of 1002 read, the others refused", read);
    }
};

QTEST_MAIN(Words)
#include "tst_words.moc"
