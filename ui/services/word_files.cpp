// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "word_files.h"

#include <QFileDialog>
#include <QSettings>

#include <cstdio>

namespace ui {

namespace {
const QString kKey = QStringLiteral("words/list");
const QString kName = QStringLiteral("lumivex");
} // namespace

// Static, so that a desktop with a chooser of its own (a portal, GTK, KDE) shows that one.
QString DesktopWordListFiles::choose(QWidget& owner, const QString& folder) {
    return QFileDialog::getOpenFileName(&owner, QStringLiteral("Open a word list"), folder,
                                        QStringLiteral("Word lists (*.txt);;All files (*)"));
}

QString DesktopWordListFiles::remembered() const {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kName, kName)
        .value(kKey)
        .toString();
}

// Not being able to remember costs the player one choice at the next start, not this game.
void DesktopWordListFiles::remember(const QString& path) {
    QSettings memory(QSettings::NativeFormat, QSettings::UserScope, kName, kName);
    if (path.isEmpty())
        memory.remove(kKey);
    else
        memory.setValue(kKey, path);
    memory.sync();
    if (memory.status() != QSettings::NoError)
        std::fprintf(stderr, "lumivex: cannot write %s: the word list will not be remembered\n",
                     qPrintable(memory.fileName()));
}

QString ScriptedWordListFiles::choose(QWidget&, const QString& folder) {
    ++opened;
    openedIn = folder;
    if (whileOpen)
        whileOpen();
    return chosen;
}

} // namespace ui
