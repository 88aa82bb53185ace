// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The records of finished games: what the game counts, what the file keeps whatever happens to
// it, what the export and the records window show.

#include "records/csv.h"
#include "records/keeper.h"
#include "support/rig.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// RFC 4180 read back: quoted fields, doubled quotes, CRLF between records.
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> rows(1, QStringList{QString()});
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u"\""_s)
            rows.back().back() += c, ++i;
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            rows.back() << QString();
        else if (!quoted && c == u'\r' && text.mid(i + 1, 1) == u"\n"_s)
            rows.push_back({QString()}), ++i;
        else
            rows.back().back() += c;
    }
    rows.pop_back(); // after the last CRLF
    return rows;
}

ui::FinishedGame played(double score, bool korean = true, const QString& list = {}) {
    ui::FinishedGame g;
    g.korean = korean, g.score = score, g.wordList = list, g.listDigest = list.isEmpty() ? "" : "d";
    g.playedMs = 60'000, g.entered = 10, g.hits = 8, g.characters = 24, g.strokes = 56;
    return g;
}

int count(const QString& path) {
    records::Store store(path);
    store.openForReading();
    return static_cast<int>(store.all().size());
}

// Starts `line` with `home` as its data folder: where its records file is.
QString start(QStringList line, const QString& home, QProcess& process) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_s, home);
    process.setProcessEnvironment(environment);
    process.start(line.takeFirst(), line);
    return home + u"/lumivex/records.sqlite"_s;
}

// lumivex --export-records: its status, and what it wrote or, failing, said. As root, the
// reader may be nobody, for whom nothing of `home` can be written: it runs the copy in `home`,
// since the build folder may lie where nobody cannot reach.
std::pair<int, QByteArray> exportFrom(const QString& home, bool asNobody = false) {
    QProcess lumivex;
    QStringList line{asNobody ? home + u"/program"_s : QStringLiteral(LUMIVEX_EXECUTABLE),
                     u"--export-records"_s};
    if (asNobody && ::geteuid() == 0)
        line =
            QStringList{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s} +
            line;
    start(line, home, lumivex);
    lumivex.waitForFinished();
    const int status = lumivex.exitStatus() == QProcess::NormalExit ? lumivex.exitCode() : -1;
    return {status, status ? lumivex.readAllStandardError() : lumivex.readAllStandardOutput()};
}

} // namespace

class Records : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void strokesShouldBeTheKeysOfTheTwoSetLayout_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("keys");
        QTest::newRow("initial and vowel") << u"호츨기"_s << 7;  // ㅎㅗ ㅊㅡㄹ ㄱㅣ
        QTest::newRow("compound vowels") << u"과의왜뭐"_s << 12; // ㄱㅗㅏ ㅇㅡㅣ ...
        QTest::newRow("compound finals") << u"닭값앉"_s << 12; // ㄷㅏㄹㄱ ㄱㅏㅂㅅ ㅇㅏㄴㅈ
        QTest::newRow("doubles, one key each") << u"까빴쪘"_s << 8; // ㄲㅏ ㅃㅏㅆ ㅉㅕㅆ
        QTest::newRow("jamo alone") << u"ㄳㅘㄲㅢㅎ"_s << 8;
        QTest::newRow("latin and mixed") << u"word한"_s << 7;
        QTest::newRow("first and last syllables") << u"가힣"_s << 5;
    }
    void strokesShouldBeTheKeysOfTheTwoSetLayout() {
        QFETCH(QString, word);
        QTEST(words::strokes(word), "keys");
    }

    // A list is known by its words: the same words, the same digest, whatever the file's name;
    // a word changed, or moved to the other language, another.
    void digestShouldFollowTheWordsOnly() {
        const words::WordList list{u"a.txt"_s, {u"가"_s, u"나"_s}, {u"x"_s}};
        words::WordList same = list, changed = list, moved = list;
        same.path = u"b.txt"_s, changed.korean[1] = u"다"_s;
        moved.korean.removeLast(), moved.english.prepend(u"나"_s);
        QCOMPARE(same.digest(), list.digest());
        QVERIFY(changed.digest() != list.digest() && moved.digest() != list.digest());
    }

    // One game is Start to the miss that shows Game Over, Stop, a language or the program's end;
    // a Stop before any Start, a game with no word entered and the words typed after a game are
    // none. Ctrl+R opens the records between games only.
    void gameShouldBeKeptOnceAsThePlayerEndsIt_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("fast");
        for (const auto* ending : {"stop", "game over", "english", "exit", "close"})
            QTest::newRow(ending) << QString::fromLatin1(ending) << (ending[0] == 'g');
    }
    void gameShouldBeKeptOnceAsThePlayerEndsIt() {
        QFETCH(QString, ending);
        QFETCH(bool, fast);
        Rig r;
        r.random.push({0, 0, 0, 0, 0, 0}), r.windows.open(), QApplication::processEvents();
        QTest::keyClick(r.intro.widget(), Qt::Key_R, Qt::ControlModifier);
        game::frmlumi& w = r.open({});
        r.click(*w.cmdstop), r.click(*w.cmdstart), r.click(*w.cmdstop);
        if (fast)
            r.click(*w.optfast);
        r.random.repeatWhenEmpty(0), r.clock.advance(1000), r.click(*w.cmdstart);
        const std::int64_t start = r.clock.now();
        QTest::keyClick(w.widget(), Qt::Key_R, Qt::ControlModifier); // in play: nothing
        r.hit(80), r.type(u"nope"_s), r.press(Qt::Key_Return), r.press(Qt::Key_Space);
        r.clock.advance(60'000), r.miss();
        for (int lives = 9; ending == u"game over" && lives > 1; --lives)
            r.miss();
        if (ending == u"game over") // the last life: no word dealt
            w.lbllumi(5).setTop(4790), r.tick({0, 0, 0, 0, 0, r.step(10)});
        const std::int64_t played = r.clock.now() - start;
        r.boxes.whileOpen = [&](const auto&) { r.clock.advance(5000); };
        if (ending == u"stop")
            r.click(*w.cmdstop);
        else if (ending == u"english")
            r.click(*w.optenglish);
        else if (ending == u"exit")
            r.click(*w.cmdexit);
        else if (ending == u"close")
            w.widget()->close();
        if (!r.program.ended()) { // after the game, a level clear switches the tick on: no game
            r.clock.advance(1000), w.ComboCount = 79, r.hit(), r.clock.advance(50);
            r.click(*w.cmdstop);
            QTest::keyClick(w.widget(), Qt::Key_R, Qt::ControlModifier);
        }
        QCOMPARE(r.records.shown, r.program.ended() ? 1 : 2);
        QCOMPARE(r.records.kept.size(), std::size_t{1});
        const ui::FinishedGame& kept = r.records.kept[0];
        QVERIFY(kept.korean && kept.fast == fast && kept.wordList.isEmpty());
        QCOMPARE(kept.playedMs, played);
        QCOMPARE(kept.score, 780.0);
        QVERIFY(kept.entered == 81 && kept.hits == 80 && kept.bestCombo == 80);
        QVERIFY(kept.comboBonuses == 1 && kept.levelClears == 1);
        QVERIFY(kept.characters == 240 && kept.strokes == 560);
        QCOMPARE(kept.livesLost, ending == u"game over" ? 10 : 1);
    }

    // Kept games read back as they were, and the export a spreadsheet opens says the same.
    void keptGamesShouldReadBackAndExportAsCsv() {
        QTemporaryDir home;
        const QString list = u"=1+2,\"week 3\".txt"_s;
        {
            records::Keeper keeper(home.filePath(u"lumivex/records.sqlite"_s));
            keeper.keep(played(12)), keeper.keep(played(30, false, list));
            ui::FinishedGame instant = played(48, true, u"say \"hi\".txt"_s);
            instant.playedMs = 0, instant.entered = 0; // as only a damaged file could hold
            keeper.keep(instant);
        }
        const auto [status, csv] = exportFrom(home.path());
        QCOMPARE(status, 0);
        QProcess full; // a disk that is full is no export
        full.setStandardOutputFile(u"/dev/full"_s);
        start({QStringLiteral(LUMIVEX_EXECUTABLE), u"--export-records"_s}, home.path(), full);
        QVERIFY(full.waitForFinished() && full.exitCode() == 1);
        for (const char* end : {"-wal", "-shm"}) // as the last writer leaves them: none
            QVERIFY(QFile::remove(home.filePath(u"lumivex/records.sqlite"_s + QLatin1String(end))));
        QVERIFY(QFile::copy(QStringLiteral(LUMIVEX_EXECUTABLE), home.filePath(u"program"_s)));
        for (const QString& path : {home.filePath(u"lumivex"_s), home.path()})
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner |
                                                    QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(exportFrom(home.path(), true), std::pair(0, csv));
        const auto rows = parseCsv(QString::fromUtf8(csv));
        QCOMPARE(rows.size(), std::size_t{4});
        QCOMPARE(rows[0].size(), 18);
        QCOMPARE(rows[2].mid(1, 4), (QStringList{u"English"_s, u"Slow"_s, u'\'' + list, u"d"_s}));
        QCOMPARE(rows[2].mid(5),
                 (QStringList{u"60.0"_s, u"30"_s, u"10"_s, u"8"_s, u"80.0"_s, u"0"_s, u"0"_s,
                              u"0"_s, u"0"_s, u"24"_s, u"56"_s, u"24.0"_s, u"characters/min"_s}));
        QCOMPARE(rows[3].mid(3, 4), (QStringList{u"say \"hi\".txt"_s, u"d"_s, u"0.0"_s, u"48"_s}));
        QCOMPARE(rows[3].at(9) + rows[3].at(16) + rows[3].at(17), u"0.00.0타/분"_s);
        const QDateTime when = QDateTime::fromString(rows[1][0], Qt::ISODate);
        QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTimeUtc()) - 60) < 30);
    }

    // A file that is not the records is moved aside byte for byte and a new one started, said
    // once; one from a newer Lumivex is only read; a folder that cannot be made keeps nothing.
    void badFileShouldBeSetAsideOrOnlyRead_data() {
        QTest::addColumn<QByteArray>("sql"); // or the file's bytes, where it does not parse
        QTest::addColumn<QString>("notice");
        QTest::newRow("text") << QByteArray("week 3 scores\n") << "not an SQLite database";
        QTest::newRow("cut short") << QByteArray("cut") << "malformed";
        QTest::newRow("someone else's") << QByteArray("CREATE TABLE t(x)") << "not Lumivex's";
        QTest::newRow("other columns")
            << QByteArray("CREATE TABLE games(x); PRAGMA user_version=1") << "not the one";
        QTest::newRow("newer") << QByteArray("PRAGMA user_version=99") << "newer Lumivex";
        QTest::newRow("no folder") << QByteArray("folder") << "cannot be made";
    }
    void badFileShouldBeSetAsideOrOnlyRead() {
        QFETCH(QByteArray, sql);
        QFETCH(QString, notice);
        QTemporaryDir home;
        const QString path = home.filePath(u"lumivex/records.sqlite"_s);
        QDir().mkpath(home.filePath(u"lumivex"_s));
        {
            records::Keeper first(path);
            first.keep(played(5)), first.keep(played(6));
        }
        if (sql == "folder") {
            place(QDir(home.path()), u"file"_s, "x");
            sql.clear();
        }
        const QString at = sql.isEmpty() ? home.filePath(u"file/records.sqlite"_s) : path;
        if (sql == "cut") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(3000));
        } else if (sql.startsWith("CREATE") || sql.startsWith("PRAGMA")) {
            if (sql.startsWith("CREATE"))
                QFile::remove(path);
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"bad"_s);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            for (const QByteArray& statement : sql.split(';'))
                QVERIFY(QSqlQuery(db).exec(QString::fromLatin1(statement)));
            db.close();
        } else if (!sql.isEmpty()) {
            place(QDir(home.filePath(u"lumivex"_s)), u"records.sqlite"_s, sql);
        }
        const bool newer = notice.contains(u"newer"_s), moved = !newer && at == path;
        const bool wal = sql.startsWith("week"); // what SQLite kept beside it belongs to it
        if (wal)
            place(QDir(home.filePath(u"lumivex"_s)), u"records.sqlite-wal"_s, "its wal");
        QFile original(at);
        const QByteArray before = original.open(QIODevice::ReadOnly) ? original.readAll() : "";
        QSqlDatabase::removeDatabase(u"bad"_s);
        // The export only reads: it says what is wrong, and moves nothing.
        const auto refused = exportFrom(home.path());
        QVERIFY(refused.first == int(moved) &&
                (!moved || refused.second.contains(notice.toUtf8())));
        QTemporaryFile said;
        const int stderrWas = ::dup(2);
        QVERIFY(said.open() && ::dup2(said.handle(), 2) == 2);
        records::Keeper keeper(at);
        keeper.keep(played(7)), keeper.keep(played(8)), keeper.show(), keeper.show();
        ::dup2(stderrWas, 2), ::close(stderrWas);
        QVERIFY(said.seek(0));
        const QStringList lines = QString::fromLocal8Bit(said.readAll()).split(u'\n');
        QCOMPARE(lines.filter(u"lumivex: "_s).size(), 1);
        QVERIFY2(lines.filter(u"lumivex: "_s)[0].contains(notice), qPrintable(lines.join(u'\n')));
        QCOMPARE(keeper.window()->notice().count(notice), 1);
        const QStringList aside = QDir(home.filePath(u"lumivex"_s)).entryList({u"*.broken-*"_s});
        QCOMPARE(aside.size(), int(moved) + int(wal));
        if (moved) {
            QFile file(home.filePath(u"lumivex/"_s + aside[0])), log(file.fileName() + u"-wal"_s);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == before);
            QVERIFY(!wal || (log.open(QIODevice::ReadOnly) && log.readAll() == "its wal"));
            QCOMPARE(count(path), 2); // a new file with the games since
        }
        if (newer)
            QVERIFY(count(path) == 2 && !keeper.window()->forgetButton()->isEnabled());
    }

    // Flipped bytes, cuts and foreign tables: every file opens, or is set aside unchanged.
    void mutatedFilesShouldOpenOrBeSetAside() {
        QTemporaryDir home;
        const QString path = home.filePath(u"records.sqlite"_s);
        {
            records::Keeper keeper(path);
            keeper.say = [](const QString&) {};
            for (int n = 0; n < 40; ++n)
                keeper.keep(played(n, n % 2, n % 3 ? u"list.txt"_s : QString()));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray good = file.readAll();
        file.close();
        QRandomGenerator chance(27);
        for (int n = 0; n < 500; ++n) {
            QByteArray bad = good;
            if (n % 4 == 0)
                bad.truncate(chance.bounded(static_cast<int>(good.size())));
            for (int flips = chance.bounded(1, 12); flips > 0; --flips)
                bad[chance.bounded(static_cast<int>(bad.size()) + 1) % qMax(1, int(bad.size()))] ^=
                    static_cast<char>(1 << chance.bounded(8));
            QFile::remove(path);
            QVERIFY(place(QDir(home.path()), u"records.sqlite"_s, bad).second);
            records::Keeper keeper(path);
            keeper.say = [](const QString&) {};
            keeper.keep(played(1)), keeper.show();
            const QStringList aside = QDir(home.path()).entryList({u"*.broken-*"_s});
            for (const QString& name : aside) {
                QFile moved(home.filePath(name));
                QVERIFY(moved.open(QIODevice::ReadOnly) && moved.readAll() == bad);
                QVERIFY(moved.remove());
            }
            QVERIFY(aside.size() <= 1);
        }
    }

    // Two programs ending games at once both keep theirs; one killed while it writes leaves
    // every game it had kept readable.
    void gamesShouldSurviveAnotherWriterAndAKill() {
        QTemporaryDir home;
        QProcess one, two, killed;
        const QStringList keep{QStringLiteral(LUMIVEX_DRIVER), u"keep"_s, u"150"_s};
        const QString path = start(keep, home.path(), one);
        start(keep, home.path(), two);
        QVERIFY(one.waitForFinished() && two.waitForFinished());
        QVERIFY2(one.exitCode() == 0 && two.exitCode() == 0, two.readAllStandardError().data());
        QCOMPARE(count(path), 300);
        start({QStringLiteral(LUMIVEX_DRIVER), u"keep"_s, u"100000"_s}, home.path(), killed);
        int said = 0;
        while (said < 200 && killed.waitForReadyRead())
            said += static_cast<int>(killed.readAll().count('\n'));
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished());
        QVERIFY(count(path) >= 300 + said);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        QSqlQuery check(db.open() ? db : QSqlDatabase());
        QVERIFY(check.exec(u"PRAGMA integrity_check"_s) && check.next());
        QCOMPARE(check.value(0).toString(), u"ok"_s);
    }

    // Read by keyboard: the best of each kind, each game newest first with its headers, and the
    // chart's sentence for the kind chosen; Forget asks first.
    void windowShouldShowBestsGamesAndTrendAndForgetWhenAsked() {
        QTemporaryDir home;
        records::Keeper keeper(home.filePath(u"records.sqlite"_s));
        for (const double score : {12, 30, 20, 48})
            keeper.keep(played(score));
        keeper.keep(played(7, false));
        keeper.show();
        records::RecordsWindow& window = *keeper.window();
        QApplication::processEvents();
        QTableView& games = *window.games();
        QCOMPARE(games.model()->rowCount(), 5);
        QStringList best, scores;
        for (int row = 0; row < 5; ++row) {
            scores << games.model()->index(row, 4).data().toString();
            best << games.model()->index(row, 5).data().toString();
        }
        QCOMPARE(scores, (QStringList{u"7"_s, u"48"_s, u"20"_s, u"30"_s, u"12"_s}));
        QCOMPARE(best.join(u'|'), u"★ new best|★ new best||★ new best|★ new best"_s);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&games);
        QVERIFY(table && table->tableInterface());
        QCOMPARE(table->tableInterface()->columnDescription(4), u"Score"_s);
        QCOMPARE(table->text(QAccessible::Name), u"Games"_s);
        table = QAccessible::queryAccessibleInterface(window.bests());
        QCOMPARE(table->tableInterface()->columnDescription(3), u"Best score"_s);
        QCOMPARE(window.bests()->model()->rowCount(), 2);
        QCOMPARE(window.summary(), u"English, Slow, built-in words: One game so far: score 7, "
                                   u"typing speed 24 characters/min."_s);
        window.bests()->setFocus();
        QTest::keyClick(window.bests(), Qt::Key_Down);
        QCOMPARE(window.summary(), u"Korean, Slow, built-in words: Score rose from 12 to 48 over "
                                   u"the last 4 games; typing speed stayed at 56 타/분."_s);
        QCOMPARE(window.chart()->accessibleDescription(), window.summary());
        // Drawn as told: the score's line in the highlight colour, higher at the second game.
        const QImage chart = window.chart()->grab().toImage();
        const QColor line = window.chart()->palette().color(QPalette::Highlight);
        const auto top = [&](int x) {
            for (int y = chart.height() / 5; y < chart.height(); ++y)
                for (int dx = -2; dx <= 2; ++dx)
                    if (QColor(chart.pixel(x + dx, y)) == line)
                        return y;
            return -1;
        };
        const int margin = window.chart()->fontMetrics().height();
        const int second = margin + (chart.width() - 2 * margin) / 3; // 30, after 12
        QVERIFY(top(second) > 0 && top(second) < top(margin + 1));
        keeper.keep(played(50)); // a game that ends while the window is open
        QCOMPARE(games.model()->index(0, 5).data().toString(), best[0]);
        int asked = 0;
        window.confirmForget = [&](QWidget&, int all) { return ++asked, all == 6 && asked > 1; };
        for (int tab = 0; tab < 10 && !window.forgetButton()->hasFocus(); ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(window.forgetButton(), Qt::Key_Space); // No
        QCOMPARE(games.model()->rowCount(), 6);
        QTest::keyClick(window.forgetButton(), Qt::Key_Space); // Yes
        QVERIFY(asked == 2 && games.model()->rowCount() == 0 &&
                !window.forgetButton()->isEnabled());
        QTest::keyClick(&games, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(Records)
#include "tst_records.moc"
