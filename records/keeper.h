// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "store.h"
#include "window.h"

#include <QSet>

#include <functional>
#include <memory>

namespace records {

// Keeps each finished game in the records file and shows the records window. The file is
// opened only when a game ends or the window opens, never while the program starts.
class Keeper final : public ui::GameRecords {
public:
    explicit Keeper(QString path = Store::defaultPath());
    ~Keeper() override;

    void keep(const ui::FinishedGame& game) override;
    void show() override;

    // Null until first shown.
    RecordsWindow* window() const { return window_.get(); }
    // Tells the player something once in the program's life: on standard error unless a test
    // listens.
    std::function<void(const QString&)> say;

private:
    Store& store();
    void tell(const QString& news);
    void tellNotKept();
    void refresh();

    QString path_;
    std::unique_ptr<Store> store_;
    std::unique_ptr<RecordsWindow> window_;
    QSet<QString> told_;
};

} // namespace records
