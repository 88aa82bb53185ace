// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "errors.h"

namespace ui {

ProgramError::ProgramError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString ProgramError::message() const { return QString::fromStdString(what()); }

OverflowError::OverflowError(const QString& what)
    : ProgramError(QStringLiteral("Overflow: %1").arg(what)) {}

TypeMismatchError::TypeMismatchError(const QString& text)
    : ProgramError(QStringLiteral("Type mismatch: \"%1\" is not a number").arg(text.left(80))) {}

IndexError::IndexError(const QString& what, long long index)
    : ProgramError(QStringLiteral("Subscript out of range: %1(%2)").arg(what).arg(index)) {}

PictureLoadError::PictureLoadError(const QString& fileName, const QString& folder,
                                   const QString& cause)
    : ProgramError(QStringLiteral("Cannot load \"%1\" from the folder \"%2\": %3")
                       .arg(fileName, folder, cause)),
      fileName_(fileName), folder_(folder), cause_(cause) {}

} // namespace ui
