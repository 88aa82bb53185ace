// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keeper.h"

#include <QPushButton>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace records {

Keeper::Keeper(QString path) : path_(std::move(path)) {
    say = [](const QString& news) {
        std::fprintf(stderr, "lumivex: %s\n", news.toLocal8Bit().constData());
        std::fflush(stderr);
    };
}

Keeper::~Keeper() = default;

Store& Keeper::store() {
    if (!store_) {
        store_ = std::make_unique<Store>(path_);
        store_->openForKeeping();
        if (!store_->movedAside().isEmpty())
            tell(store_->movedAside());
    }
    return *store_;
}

// The play goes on whatever the disk does; the player is told why games are not kept.
void Keeper::keep(const ui::FinishedGame& game) {
    Record record;
    static_cast<ui::FinishedGame&>(record) = game;
    record.when = QDateTime::currentDateTimeUtc().addMSecs(-game.playedMs);
    if (!store().add(record))
        tellNotKept();
    if (window_ && window_->isVisible())
        refresh();
}

void Keeper::show() {
    if (!window_) {
        window_ = std::make_unique<RecordsWindow>();
        window_->forget = [this] {
            if (!store().forget())
                tell(store().problem());
            refresh();
        };
    }
    refresh();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void Keeper::refresh() {
    Store& kept = store();
    std::vector<Record> games = kept.all();
    QStringList notices;
    if (!kept.movedAside().isEmpty())
        notices << kept.movedAside() + u'.';
    if (!kept.problem().isEmpty()) {
        const QString problem = kept.problem();
        notices << (kept.canKeep() ? problem : u"Games are not being kept: "_s + problem) + u'.';
        if (!kept.canKeep())
            tellNotKept();
    }
    window_->present(std::move(games), notices.join(u' '), kept.canKeep());
}

void Keeper::tellNotKept() { tell(u"games are not being kept: "_s + store().problem()); }

void Keeper::tell(const QString& news) {
    if (told_.contains(news))
        return;
    told_.insert(news);
    say(news);
}

} // namespace records
