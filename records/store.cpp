// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QVariant>

#include <iterator>

using namespace Qt::StringLiterals;

namespace records {

namespace {

// One step a version: step i brings a file of version i up to version i + 1. A file with a
// higher version than there are steps was kept by a newer Lumivex.
const QString kMigrations[] = {
    uR"(CREATE TABLE games (
          id INTEGER PRIMARY KEY,
          played_at TEXT NOT NULL,
          language TEXT NOT NULL,
          speed TEXT NOT NULL,
          word_list TEXT NOT NULL,
          list_digest TEXT NOT NULL,
          played_ms INTEGER NOT NULL,
          score REAL NOT NULL,
          entered INTEGER NOT NULL,
          hits INTEGER NOT NULL,
          lives_lost INTEGER NOT NULL,
          best_combo INTEGER NOT NULL,
          combo_bonuses INTEGER NOT NULL,
          level_clears INTEGER NOT NULL,
          characters INTEGER NOT NULL,
          strokes INTEGER NOT NULL))"_s,
};
constexpr int kVersion = static_cast<int>(std::size(kMigrations));
const QString kColumns = u"id, played_at, language, speed, word_list, list_digest, played_ms, "
                         u"score, entered, hits, lives_lost, best_combo, combo_bonuses, "
                         u"level_clears, characters, strokes"_s;
// Long enough for another Lumivex to finish writing its game, short enough not to be felt.
const QString kBusy = u"QSQLITE_BUSY_TIMEOUT=5000"_s;

// SQLite's own verdict: not a database at all, or one whose pages make no sense.
bool unreadable(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff; // extended codes keep it below
    return code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */;
}

QString why(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.trimmed();
}

} // namespace

QString Store::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/lumivex/records.sqlite"_s;
}

Store::Store(QString path)
    : path_(std::move(path)),
      connection_(u"lumivex-records-%1"_s.arg(reinterpret_cast<quintptr>(this), 0, 16)) {}

Store::~Store() { disconnect(); }

void Store::openForKeeping() {
    if (state_ != State::closed)
        return;
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        problem_ = u"the folder %1 cannot be made"_s.arg(QDir::toNativeSeparators(folder));
        state_ = State::failed;
        return;
    }
    // A second round only after a broken file was moved aside: the new file starts empty.
    for (int round = 0; round < 2; ++round) {
        const Check found = foreign()                ? Check::broken
                            : connect(Access::write) ? check()
                                                     : Check::failed;
        if (found == Check::fine && upToDate()) {
            state_ = State::keeping;
            return;
        }
        disconnect();
        if (found == Check::broken) {
            moveAside(problem_);
            if (movedAside_.isEmpty())
                return;
            problem_.clear();
            continue;
        }
        // Newer, or not writable here: what it holds can still be shown.
        const QString because = found == Check::newer
                                    ? u"they were kept by a newer Lumivex, and are only read"_s
                                    : problem_;
        const Check read = openToRead();
        state_ = read == Check::fine || read == Check::newer ? State::reading : State::failed;
        problem_ = because;
        return;
    }
    state_ = State::failed; // set aside twice: another program is at it too
}

void Store::openForReading() {
    if (state_ != State::closed)
        return;
    if (!QFileInfo::exists(path_)) {
        state_ = State::reading; // nothing kept yet
        return;
    }
    if (const Check found = foreign() ? Check::broken : openToRead();
        found == Check::fine || found == Check::newer) {
        state_ = State::reading;
        problem_.clear();
        return;
    }
    disconnect();
    state_ = State::failed;
}

// Looked at before SQLite opens the file: SQLite takes a file that is no database at all for an
// empty one, and deletes the write-ahead log beside it, which may be all that is left of games.
bool Store::foreign() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return false; // missing, or SQLite will say why it cannot be read
    const QByteArray head = file.read(16);
    if (head.isEmpty() || head == QByteArrayView("SQLite format 3", 16))
        return false;
    problem_ = u"it is not an SQLite database"_s;
    return true;
}

// A reader of a WAL file takes its lock in a file beside it, which a folder the player cannot
// write to cannot hold: then the file is read as it stands, which no one can change either.
Store::Check Store::openToRead() {
    Check found = Check::failed;
    for (const Access access : {Access::read, Access::frozen}) {
        if (!connect(access))
            return Check::failed;
        found = check();
        if (found != Check::failed)
            return found;
        disconnect();
    }
    return found;
}

bool Store::connect(Access access) {
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
    if (!db.isValid()) {
        problem_ = u"Qt's SQLite driver is not installed (Debian: libqt6sql6-sqlite)"_s;
        return false;
    }
    const QString file = QUrl::fromLocalFile(path_).toString(QUrl::FullyEncoded);
    db.setDatabaseName(access == Access::frozen ? file + u"?immutable=1"_s : path_);
    db.setConnectOptions(access == Access::write ? kBusy
                         : access == Access::read
                             ? u"QSQLITE_OPEN_READONLY;"_s + kBusy
                             : u"QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;"_s + kBusy);
    if (!db.open())
        return fail(u"%1 cannot be opened"_s.arg(path_), db.lastError());
    return true;
}

void Store::disconnect() {
    if (!QSqlDatabase::contains(connection_))
        return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

// Reads only: a file that turns out broken is moved aside as it was found.
Store::Check Store::check() {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    // One snapshot: another Lumivex may make the table and set the version in between.
    struct Snapshot {
        QSqlQuery& q;
        ~Snapshot() { q.finish(), q.exec(u"ROLLBACK"_s); }
    } snapshot{q};
    q.exec(u"BEGIN"_s);
    const auto failed = [&] {
        if (!unreadable(q.lastError()))
            return fail(u"%1 cannot be opened"_s.arg(path_), q.lastError()), Check::failed;
        problem_ = why(q.lastError());
        return Check::broken;
    };
    version_ = -1;
    if (!q.exec(u"PRAGMA user_version"_s) || !q.next())
        return failed();
    const int version = q.value(0).toInt();
    version_ = version;
    if (version > kVersion)
        return Check::newer;
    if (!q.exec(u"PRAGMA quick_check"_s) || !q.next())
        return failed();
    if (const QString verdict = q.value(0).toString(); verdict != u"ok") {
        problem_ = u"SQLite finds it damaged: %1"_s.arg(verdict);
        return Check::broken;
    }
    if (version == 0) {
        if (!q.exec(u"SELECT count(*) FROM sqlite_master"_s) || !q.next())
            return failed();
        if (q.value(0).toInt() == 0)
            return Check::fine; // new and empty
        problem_ = u"it holds tables that are not Lumivex's records"_s;
        return Check::broken;
    }
    if (version == kVersion && !q.exec(u"SELECT %1 FROM games LIMIT 0"_s.arg(kColumns))) {
        if (!unreadable(q.lastError()) && q.lastError().type() != QSqlError::StatementError)
            return failed();
        problem_ = u"its table of games is not the one Lumivex made"_s;
        return Check::broken;
    }
    return Check::fine;
}

// Two programs making the file at the same moment can each find the other in the way, where
// SQLite answers at once instead of waiting: the one told so tries again shortly.
bool Store::upToDate() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (bringUpToDate())
            return true;
        if (!busy_)
            return false;
        QThread::msleep(10);
    }
    return false;
}

// WAL: a game being written never keeps another program from reading, nor a reader a writer.
bool Store::bringUpToDate() {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    const QString cannot = u"games cannot be kept in %1"_s.arg(path_);
    if (!q.exec(u"PRAGMA journal_mode=WAL"_s) || !q.exec(u"PRAGMA synchronous=FULL"_s))
        return fail(cannot, q.lastError());
    // Another Lumivex may be making the same file this moment: the version is read again
    // under the write lock.
    if (!q.exec(u"BEGIN IMMEDIATE"_s))
        return fail(cannot, q.lastError());
    const auto undo = [&] {
        fail(cannot, q.lastError());
        q.exec(u"ROLLBACK"_s);
        return false;
    };
    if (!q.exec(u"PRAGMA user_version"_s) || !q.next())
        return undo();
    const int version = q.value(0).toInt();
    for (int step = version; step < kVersion; ++step) {
        if (!q.exec(kMigrations[step]))
            return undo();
    }
    if (version != kVersion && !q.exec(u"PRAGMA user_version=%1"_s.arg(kVersion)))
        return undo();
    if (!q.exec(u"COMMIT"_s))
        return undo();
    version_ = kVersion;
    return true;
}

void Store::moveAside(const QString& reason) {
    const QString stamp = QDate::currentDate().toString(Qt::ISODate);
    QString aside = path_ + u".broken-"_s + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + u"-wal"_s); ++n)
        aside = path_ + u".broken-%1-%2"_s.arg(stamp).arg(n);
    if (!QFile::rename(path_, aside)) {
        problem_ = u"%1 cannot be read (%2) and cannot be moved aside"_s.arg(path_, reason);
        state_ = State::failed;
        return;
    }
    // What SQLite kept beside it belongs to it.
    for (const QString& end : {u"-wal"_s, u"-shm"_s}) {
        if (QFileInfo::exists(path_ + end))
            QFile::rename(path_ + end, aside + end);
    }
    movedAside_ = u"%1 could not be read (%2), so it was moved aside to %3 and a new one was "
                  u"started"_s.arg(path_, reason, aside);
}

bool Store::fail(const QString& what, const QSqlError& error) {
    problem_ = u"%1: %2"_s.arg(what, why(error));
    const int code = error.nativeErrorCode().toInt() & 0xff;
    busy_ = code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */;
    return false;
}

bool Store::add(const Record& r) {
    if (!canKeep())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    const auto failed = [&] {
        problem_ = u"the game could not be kept in %1: %2"_s.arg(path_, why(q.lastError()));
        q.exec(u"ROLLBACK"_s);
        return false;
    };
    // Taking the write lock first, a writer waits its turn instead of finding, once it has
    // read, that another wrote in between.
    if (!q.exec(u"BEGIN IMMEDIATE"_s))
        return failed();
    q.prepare(
        u"INSERT INTO games (%1) VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(
            kColumns));
    for (const QVariant& value :
         {QVariant(u""_s + r.when.toUTC().toString(Qt::ISODate)), QVariant(r.language()),
          QVariant(r.speedSetting()), QVariant(u""_s + r.wordList), QVariant(u""_s + r.listDigest),
          QVariant(qint64(r.playedMs)), QVariant(r.score), QVariant(r.entered), QVariant(r.hits),
          QVariant(r.livesLost), QVariant(r.bestCombo), QVariant(r.comboBonuses),
          QVariant(r.levelClears), QVariant(r.characters), QVariant(r.strokes)})
        q.addBindValue(value);
    // One transaction a game: a program killed while it writes leaves all kept before.
    if (!q.exec() || !q.exec(u"COMMIT"_s))
        return failed();
    problem_.clear();
    return true;
}

std::vector<Record> Store::all() {
    std::vector<Record> games;
    if (!canRead() || !QSqlDatabase::contains(connection_) || version_ == 0)
        return games;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.exec(u"SELECT %1 FROM games ORDER BY id"_s.arg(kColumns))) {
        problem_ = u"%1 cannot be read: %2"_s.arg(path_, why(q.lastError()));
        return games;
    }
    while (q.next()) {
        Record& r = games.emplace_back();
        r.id = q.value(0).toLongLong();
        r.when = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        r.korean = q.value(2).toString() == u"Korean";
        r.fast = q.value(3).toString() == u"Fast";
        r.wordList = q.value(4).toString();
        r.listDigest = q.value(5).toString();
        r.playedMs = q.value(6).toLongLong();
        r.score = q.value(7).toDouble();
        int* counts[] = {&r.entered,      &r.hits,        &r.livesLost,  &r.bestCombo,
                         &r.comboBonuses, &r.levelClears, &r.characters, &r.strokes};
        for (int k = 0; k < 8; ++k)
            *counts[k] = q.value(8 + k).toInt();
    }
    if (q.lastError().isValid())
        problem_ = u"%1 cannot be read to its end: %2"_s.arg(path_, why(q.lastError()));
    return games;
}

bool Store::forget() {
    if (!canKeep())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(u"DELETE FROM games"_s)) {
        problem_ = u"the records could not be forgotten: %1"_s.arg(why(q.lastError()));
        return false;
    }
    return true;
}

} // namespace records
