// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <vector>

class QObject;
class QWidget;

namespace ui {

// What a screen reader says of a step's news (words dealt, signs shown, a score or the lives
// changed) while the player's focus stays where it is.
class Announcer {
public:
    virtual ~Announcer() = default;
    virtual void announce(QWidget& window, const QString& news) = 0;
};

class QtAnnouncer final : public Announcer {
public:
    void announce(QWidget& window, const QString& news) override;
};

class RecordingAnnouncer final : public Announcer {
public:
    void announce(QWidget&, const QString& told) override { news.push_back(told); }
    std::vector<QString> news;
};

// The accessible child a window tells its news through, where Qt has no announcement: the
// window's accessible object lists it after its controls.
QObject* newsOf(const QWidget& window);

} // namespace ui
