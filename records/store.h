// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "record.h"

#include <QSqlError>
#include <QString>

#include <vector>

namespace records {

// The SQLite file the games are kept in. Nothing a player made is ever overwritten or deleted
// by it: a file it cannot read is moved aside, and a file from a newer Lumivex is only read.
class Store {
public:
    // $XDG_DATA_HOME/lumivex/records.sqlite
    static QString defaultPath();

    explicit Store(QString path);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // For the game's end and the window: makes the folder and the file, moves a broken file
    // aside and starts a new one, and brings an older file up to date.
    void openForKeeping();
    // For the export: the file as it stands, changed in nothing; none at all is no records.
    void openForReading();

    bool canKeep() const { return state_ == State::keeping; }
    bool canRead() const { return state_ == State::keeping || state_ == State::reading; }
    // Why games are not being kept, or cannot be read; empty while all is well.
    const QString& problem() const { return problem_; }
    // Where a broken file went, when this store moved one aside.
    const QString& movedAside() const { return movedAside_; }

    // One game, in one transaction; false (and problem() says why) when it could not be kept.
    bool add(const Record& record);
    // Every game, in the order kept. Values of the wrong kind read as nothing.
    std::vector<Record> all();
    bool forget();

private:
    enum class State { closed, keeping, reading, failed };
    enum class Check { fine, broken, newer, failed };
    enum class Access { write, read, frozen };
    bool connect(Access access);
    Check openToRead();
    bool foreign();
    void disconnect();
    Check check();
    bool upToDate();
    bool bringUpToDate();
    void moveAside(const QString& why);
    bool fail(const QString& what, const QSqlError& error);

    QString path_;
    QString connection_;
    State state_ = State::closed;
    QString problem_;
    QString movedAside_;
    int version_ = -1;  // of the file open, once read
    bool busy_ = false; // the last failure was another program holding the file
};

} // namespace records
