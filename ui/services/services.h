// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "announcer.h"
#include "clock.h"
#include "game_records.h"
#include "random.h"
#include "word_files.h"

#include <QString>

#include <exception>
#include <optional>
#include <vector>

namespace ui {

// Modal, critical icon, one OK button; the answer is never used.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void critical(QWidget& owner, const QString& prompt, const QString& title) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void critical(QWidget& owner, const QString& prompt, const QString& title) override;
};

class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString prompt;
    };
    void critical(QWidget& owner, const QString& prompt, const QString& title) override;

    std::vector<Shown> shown;
    int openNow = 0;
    int mostOpenAtOnce = 0;
    // Runs while the box is "open", e.g. to let time pass before the player answers.
    std::function<void(const Shown&)> whileOpen;
};

// How the program ends: by the player's Exit, or through the error policy.
class Program {
public:
    virtual ~Program() = default;
    bool ended() const { return ended_; }
    int status() const { return status_; }

    void end();
    // An error escaped an event step: say so once, then end with status 1.
    void fail(const std::exception& error);

protected:
    virtual void quit(int status) = 0;
    virtual void report(const QString& message) = 0;

private:
    bool ended_ = false;
    int status_ = 0;
};

class QtProgram final : public Program {
protected:
    void quit(int status) override;
    void report(const QString& message) override;
};

class RecordingProgram final : public Program {
public:
    std::vector<QString> failures;

protected:
    void quit(int) override {}
    void report(const QString& message) override { failures.push_back(message); }
};

struct Services {
    Clock& clock;
    RandomSource& random;
    MessageBoxes& messages;
    Program& program;
    Announcer& announcer;
    WordListFiles& wordLists;
    GameRecords& records;
};

// Text of any exception, for the error policy.
QString describe(const std::exception& error);

} // namespace ui
