// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {

// Where a player's own word lists come from: the desktop's file chooser, and the list in use
// remembered for the next run (an empty path: the built-in words).
class WordListFiles {
public:
    virtual ~WordListFiles() = default;
    // The file chosen, or empty when the player cancelled.
    virtual QString choose(QWidget& owner, const QString& folder) = 0;
    virtual QString remembered() const = 0;
    virtual void remember(const QString& path) = 0;
};

// $XDG_CONFIG_HOME/lumivex/lumivex.conf, and the dialog the desktop's platform theme gives.
class DesktopWordListFiles final : public WordListFiles {
public:
    QString choose(QWidget& owner, const QString& folder) override;
    QString remembered() const override;
    void remember(const QString& path) override;
};

class ScriptedWordListFiles final : public WordListFiles {
public:
    QString choose(QWidget& owner, const QString& folder) override;
    QString remembered() const override { return memory; }
    void remember(const QString& path) override { memory = path; }

    QString chosen; // empty: the player cancels
    QString memory;
    QString openedIn; // the folder the last chooser opened in
    int opened = 0;
    // Runs while the chooser is "open", e.g. to let time pass.
    std::function<void()> whileOpen;
};

} // namespace ui
