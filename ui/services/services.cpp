// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services.h"

#include "errors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ui {

void QtMessageBoxes::critical(QWidget& owner, const QString& prompt, const QString& title) {
    QMessageBox box(QMessageBox::Critical, title, prompt, QMessageBox::Ok, &owner);
    box.setAccessibleName(title);
    box.setAccessibleDescription(prompt);
    box.exec();
}

void RecordingMessageBoxes::critical(QWidget&, const QString& prompt, const QString& title) {
    shown.push_back({title, prompt});
    ++openNow;
    mostOpenAtOnce = std::max(mostOpenAtOnce, openNow);
    const Shown box = shown.back();
    if (whileOpen)
        whileOpen(box);
    --openNow;
}

void Program::end() {
    if (ended_)
        return;
    ended_ = true;
    quit(status_);
}

void Program::fail(const std::exception& error) {
    if (ended_)
        return;
    ended_ = true;
    status_ = 1;
    report(describe(error));
    quit(status_);
}

void QtProgram::quit(int status) {
    if (status != 0) {
        // Nested steps and message boxes may still be on the stack; none of them may go on.
        std::fflush(stderr);
        std::_Exit(status);
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(status);
}

void QtProgram::report(const QString& message) {
    std::fprintf(stderr, "lumivex: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    // Without a screen nobody can read a box, and its event loop would never end.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Lumivex"), message, QMessageBox::Ok);
    box.exec();
}

QString describe(const std::exception& error) {
    if (const auto* own = dynamic_cast<const ProgramError*>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace ui
