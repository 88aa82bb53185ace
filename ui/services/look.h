// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace ui {

// Positions and sizes are twips; Qt's high-DPI scaling takes logical pixels from here on.
constexpr double kTwipsPerPixel = 15.0;
int pixels(double twips);
double twipsOf(int pixels);

// The standard 16-colour palette: 10 light green, 13 light magenta, ...
QColor paletteColor(int index);

enum class SystemColor { ButtonFace, ButtonText, WindowBackground, WindowText };
QColor systemColor(SystemColor which);

struct FontProps {
    QString face; // empty: the default user-interface font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

// Maps the faces the layouts ask for to free substitutes and sets the default font.
// Call once, after the application object exists and before any window is built.
void installFonts();
QFont fontFor(const FontProps& props);
QFont defaultFont();

} // namespace ui
