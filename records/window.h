// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "record.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace records {

class Chart;
class GamesModel;

// The records of past games: the best score of each kind, every game newest first, and the
// score and typing speed of one kind over its games, drawn and told in a sentence.
class RecordsWindow final : public QWidget {
public:
    RecordsWindow();
    ~RecordsWindow() override;

    // `notice`: why games are not being kept, or what was moved aside; empty when all is well.
    void present(std::vector<Record> games, const QString& notice, bool canForget);

    // The player's answer to "Forget all records?"; a question box unless a test answers.
    std::function<bool(QWidget& over, int games)> confirmForget;
    std::function<void()> forget;

    QTableView* bests() const { return bests_; }
    QTableView* games() const { return games_; }
    QWidget* chart() const;
    QString summary() const;
    QString notice() const;
    QPushButton* forgetButton() const { return forgetButton_; }

private:
    void chartKind(int bestRow);

    std::vector<Record> records_;
    std::vector<std::vector<const Record*>> kinds_; // the games of each row of bests_, oldest first
    QLabel* notice_;
    QStandardItemModel* bestsModel_;
    QTableView* bests_;
    GamesModel* gamesModel_;
    QTableView* games_;
    Chart* chart_;
    QLabel* summary_;
    QPushButton* forgetButton_;
};

} // namespace records
