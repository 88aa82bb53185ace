// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QString>

namespace ui {

// An icon image loaded from a file name relative to the working directory.
class Picture {
public:
    explicit Picture(QIcon icon) : icon_(std::move(icon)) {}
    const QIcon& icon() const { return icon_; }

private:
    QIcon icon_;
};

// Throws PictureLoadError naming the file, the folder and the cause.
Picture loadPicture(const QString& fileName);

} // namespace ui
