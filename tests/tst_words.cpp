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
    else if (bytes == "folder")
        QDir(folder.path()).mkdir(name);
    else if (bytes != "missing" && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class Words : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    // Korean and English words in the file's order; an empty `why` for a list that reads.
    void readerShouldKeepEachWordOrSayWhyNot_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QStringList>("korean");
        QTest::addColumn<QStringList>("english");
        const auto good = [](const char* what, const QByteArray& bytes, const QStringList& korean,
                             const QStringList& english) {
            QTest::newRow(what) << bytes << QString() << korean << english;
        };
        const auto bad = [](const char* what, const QByteArray& bytes, const QString& why) {
            QTest::newRow(what) << bytes << why << QStringList() << QStringList();
        };
        good("mark, CR LF, comments, blanks",
             "\xEF\xBB\xBF# 과일\r\n\r\n  apple \r\n\t사과\t\r\n#x", {u"사과"_s}, {u"apple"_s});
        good("decomposed Hangul, repeats",
             u"사과\nb\nK팝\nb\n"_s.normalized(QString::NormalizationForm_D).toUtf8(),
             {u"사과"_s, u"K팝"_s}, {u"b"_s, u"b"_s});
        good("10000 words", QByteArray("a\n").repeated(10000), {}, QStringList(10000, u"a"_s));
        good("1 MiB", "a\n#" + QByteArray(words::kLargestFile - 4, '.') + '\n', {}, {u"a"_s});
        bad("missing", "missing", u"the file does not exist"_s);
        bad("folder", "folder", u"it is a folder, not a file"_s);
        bad("named pipe", "fifo", u"it is not a regular file"_s);
        bad("empty", "", u"it has no word (one word a line; lines that begin with # are"_s);
        bad("only comments", "# a\n\n  #b\n", u"it has no word"_s);
        bad("Latin-1", "a\n\n\xE9t\xE9\n", u"line 3: it is not UTF-8 text"_s);
        bad("a NUL", "a\nb\0c\n"_ba, u"line 2: it holds a NUL byte; a word list is text"_s);
        bad("10001 words", QByteArray("a\n").repeated(10001), u"it holds more than 10000 words"_s);
        bad("over 1 MiB", QByteArray(words::kLargestFile + 1, 'a'),
            u"it is larger than 1 MiB (1048577 bytes); a word list holds at most 1048576"_s);
        bad("a space inside", "a\n ice cream \n",
            u"line 2: \"ice cream\" has a blank inside, and"_s);
        bad("a tab inside", "아이스\t크림", u"line 1: \"아이스\t크림\" has a blank inside"_s);
        bad("a bell", "a\x07", u"line 1: it holds the control character U+0007, which cannot"_s);
        bad("a megabyte-long word", QByteArray(1000000, 'w'),
            u"line 1: \""_s + QString(40, u'w') + u"…\" is too long for the play field: 1000000"_s);
    }

    void readerShouldKeepEachWordOrSayWhyNot() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QString path = write(folder, bytes);
        try {
            const words::WordList list = words::read(path, game::frmlumi::fieldFit());
            QFETCH(QStringList, korean);
            QFETCH(QStringList, english);
            QVERIFY2(why.isEmpty(), "read");
            QCOMPARE(list.korean, korean);
            QCOMPARE(list.english, english);
        } catch (const words::BadWordList& bad) {
            QVERIFY2(!why.isEmpty() && bad.message().startsWith(path + u": "_s + why),
                     qPrintable(bad.message()));
        }
    }

    // The longest word of a letter that the reader takes lies wholly inside the window wherever
    // it falls; with one letter more it would not, and the reader says so.
    void widestWordShouldFitTheRightmostColumn_data() {
        QTest::addColumn<QString>("letter");
        for (const QString& letter : {u"m"_s, u"i"_s, u"한"_s})
            QTest::newRow(qPrintable(letter)) << letter;
    }

    void widestWordShouldFitTheRightmostColumn() {
        QFETCH(QString, letter);
        const words::TooWide fit = game::frmlumi::fieldFit();
        QString word = letter;
        while (!fit(word + letter))
            word += letter;
        QVERIFY(fit(word + letter)->startsWith(u"is too wide for the play field: "_s));
        Rig r;
        game::frmlumi& w = r.open();
        const QRect field = w.widget()->rect();
        for (int i = 0; i < game::frmlumi::kWords; ++i) {
            w.lbllumi(i).setCaption(word);
            QVERIFY(field.contains(w.lbllumi(i).pixelRect()));
        }
        w.lbllumi(4).setCaption(word + letter);
        QVERIFY(!field.contains(w.lbllumi(4).pixelRect()));
    }

    // Chosen with Ctrl+O between games, a list plays as the built-in words do, in the language
    // it has words for; Ctrl+Shift+O goes back. Nothing moves while the chooser is open.
    void ownWordsShouldBeChosenBetweenGamesAndPlayAsTheBuiltInOnes() {
        QTemporaryDir folder, other;
        const QString list = write(folder, "# 3주\n사과\n바나나\n수박\n");
        const QString bad = write(other, "사과\nice cream\n");
        const std::vector<QString> own{u"사과"_s, u"바나나"_s, u"수박"_s};
        const auto of3 = [](int k) { return (static_cast<float>(k) + 0.5f) / 3.0f; };
        Rig r;
        game::frmlumi& w = r.open();
        const std::vector<QString> builtIn = w.WordBank;
        const auto keys = [&](Qt::KeyboardModifiers also = {}) {
            QTest::keyClick(w.widget(), Qt::Key_O, Qt::ControlModifier | also);
        };
        r.files.chosen = list;
        r.files.whileOpen = [&] { r.clock.advance(2000); };
        r.random.push({of3(2), of3(0), of3(1), of3(2), of3(2), of3(0)});
        keys();
        QVERIFY(w.Timer1->Enabled() && w.Timer3->Enabled()); // held: they stop at their first tick
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == QDir::homePath() && w.WordBank == own);
        for (const int i : {0, 3, 4})
            QVERIFY(w.lbllumi(i).Caption() == u"수박"_s && !w.lbllumi(i).Visible());
        // Played as a player plays: Korean composed, a hit, a miss; Ctrl+O does nothing meanwhile.
        r.click(*w.cmdstart), keys();
        r.type(u"수박"_s), r.random.push(of3(1)), r.press(Qt::Key_Return);
        QVERIFY(r.files.opened == 1 && w.lblscore->Caption() == u"1"_s &&
                w.lbllumi(0).Caption() == u"바나나"_s);
        r.miss();
        QVERIFY(w.lblbonus->Caption() == u"9"_s && w.lbllumi(5).Caption() == u"사과"_s);
        // The list has no English: that language keeps its own words.
        r.random.repeatWhenEmpty(0);
        r.click(*w.optenglish);
        QVERIFY(w.WordBank.size() == builtIn.size() && w.WordBank != builtIn);
        r.click(*w.optkorean);
        QCOMPARE(w.WordBank, own);
        // A list that cannot be played is said in a box, and the one in use stays.
        r.files.chosen = bad, r.files.openedIn.clear(), keys();
        QVERIFY(r.boxes.shown.size() == 1 &&
                r.boxes.shown[0].prompt.startsWith(bad + u": line 2: \"ice cream\" has a blank"_s));
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && r.files.memory == list &&
                r.files.openedIn == folder.path() && w.WordBank == own);
        r.files.chosen.clear(), keys(); // cancelled
        QVERIFY(w.Caption() == u"Lumivex — list.txt"_s && w.WordBank == own);
        keys(Qt::ShiftModifier);
        QVERIFY(w.Caption() == u"Lumivex"_s && r.files.memory.isEmpty() && w.WordBank == builtIn);
        QVERIFY(r.files.opened == 3 && r.boxes.shown.size() == 1 && !r.program.ended());
    }

    // --words FILE plays FILE for this run; without it, the list of the last run plays, unless
    // it has gone bad: then it is forgotten and the built-in words play.
    void startShouldPlayTheListAskedForOrTheOneRemembered_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<int>("status"); // -1: it goes on
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("rememberedAfter");
        const QString good = u"good.txt"_s, gone = u"gone.txt"_s, bad = u"bad.txt"_s;
        const QString own = u"Lumivex — good.txt"_s;
        QTest::newRow("asked for") << good << gone << -1 << own << gone;
        QTest::newRow("where the launcher started")
            << u"./good.txt"_s << QString() << -1 << own << QString();
        QTest::newRow("remembered") << QString() << good << -1 << own << good;
        QTest::newRow("remembered, gone") << QString() << gone << -1 << u"Lumivex"_s << QString();
        QTest::newRow("asked for, bad") << bad << good << 2 << u"Lumivex"_s << good;
    }

    void startShouldPlayTheListAskedForOrTheOneRemembered() {
        QFETCH(QString, commandLine);
        QFETCH(QString, remembered);
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(QString, rememberedAfter);
        QTemporaryDir folder;
        write(folder, "good\n", u"good.txt"_s), write(folder, "no good\n", u"bad.txt"_s);
        const auto in = [&](const QString& name) {
            return name.isEmpty() || name.startsWith(u'.') ? name : folder.filePath(name);
        };
        qputenv("LUMIVEX_STARTED_IN", folder.path().toLocal8Bit()); // as the launcher does
        Rig r;
        r.files.memory = in(remembered);
        QCOMPARE(app::startWords(r.w, r.files, in(commandLine)).value_or(-1), status);
        qunsetenv("LUMIVEX_STARTED_IN");
        r.open();
        QVERIFY(r.w.Caption() == title && r.files.memory == in(rememberedAfter));
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
        for (const QString& name : {u"korean"_s, u"english"_s}) {
            QFile example(u"share/lumivex/words/%1.txt"_s.arg(name));
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
            const QString path = write(folder, bytes);
            try {
                const words::WordList list = words::read(path, game::frmlumi::fieldFit());
                QVERIFY2(n >= 0 || list.english.size() + list.korean.size() > 20,
                         "an example is refused");
                for (const QString& word : list.english + list.korean)
                    QVERIFY(!word.isEmpty() && !word.contains(u' ') &&
                            word == word.normalized(QString::NormalizationForm_C));
                ++read;
            } catch (const words::BadWordList& bad) {
                QVERIFY(n >= 0 && bad.message().startsWith(path + u": "_s) &&
                        !bad.message().contains(u'\n'));
            }
        }
        qInfo("%d of 1002 read, the others refused", read);
    }
};

QTEST_MAIN(Words)
#include "tst_words.moc"
