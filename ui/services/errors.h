// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <stdexcept>

namespace ui {

// Every failure the program can meet is one of these; the error policy reports its message.
class ProgramError : public std::runtime_error {
public:
    explicit ProgramError(const QString& message);
    QString message() const;
};

class OverflowError : public ProgramError {
public:
    explicit OverflowError(const QString& what);
};

// A caption that should hold a number does not.
class TypeMismatchError : public ProgramError {
public:
    explicit TypeMismatchError(const QString& text);
};

class IndexError : public ProgramError {
public:
    IndexError(const QString& what, long long index);
};

class PictureLoadError : public ProgramError {
public:
    PictureLoadError(const QString& fileName, const QString& folder, const QString& cause);
    QString fileName() const { return fileName_; }
    QString folder() const { return folder_; }
    QString cause() const { return cause_; }

private:
    QString fileName_;
    QString folder_;
    QString cause_;
};

} // namespace ui
