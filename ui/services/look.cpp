// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "look.h"

#include "errors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPalette>

#include <array>
#include <cmath>

namespace ui {

int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

double twipsOf(int px) { return px * kTwipsPerPixel; }

QColor paletteColor(int index) {
    static constexpr std::array<QRgb, 16> colors = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    if (index < 0 || index >= static_cast<int>(colors.size()))
        throw IndexError(QStringLiteral("palette colour"), index);
    return QColor(colors[static_cast<std::size_t>(index)]);
}

QColor systemColor(SystemColor which) {
    const QPalette palette = QApplication::palette();
    switch (which) {
    case SystemColor::ButtonFace:
        return palette.color(QPalette::Button);
    case SystemColor::ButtonText:
        return palette.color(QPalette::ButtonText);
    case SystemColor::WindowBackground:
        return palette.color(QPalette::Base);
    case SystemColor::WindowText:
        return palette.color(QPalette::Text);
    }
    return {};
}

namespace {

// Each requested face, then a close free face from Debian, then one that surely has Hangul.
struct Substitute {
    const char* requested;
    QStringList faces;
};

const QString kHangulSans = QStringLiteral("NanumGothic");

const std::array<Substitute, 6>& substitutes() {
    static const std::array<Substitute, 6> table = {{
        {"굴림", {kHangulSans, QStringLiteral("UnDotum")}},
        {"궁서", {QStringLiteral("UnGungseo"), QStringLiteral("NanumMyeongjo"), kHangulSans}},
        // BM DoHyeon is as heavy, but too wide: "Super Combo!" would wrap in its label.
        {"하이텔울릉도제목체",
         {QStringLiteral("BM JUA_TTF"), QStringLiteral("BM DoHyeon"), kHangulSans}},
        {"Comic Sans MS", {QStringLiteral("Comic Neue"), kHangulSans}},
        {"Matisse ITC", {QStringLiteral("Cabin Sketch"), kHangulSans}},
        {"Vineta BT", {QStringLiteral("Rampart One"), kHangulSans}},
    }};
    return table;
}

// The largest size whose line stays within 180 twips (12 logical pixels), the design height
// of a label in the default font.
constexpr int kDefaultLinePixels = 12;

// Unhinted outlines: hinting loads and runs every glyph of a text just to measure it, and the
// light hinting most desktops ask for first runs FreeType's auto-hinter over dozens of
// reference glyphs of each Hangul face. That cost 2 to 3 MiB of every Hangul font file in
// memory, and time at each new glyph.
constexpr QFont::HintingPreference kHinting = QFont::PreferNoHinting;

} // namespace

void installFonts() {
    for (const Substitute& s : substitutes())
        QFont::insertSubstitutions(QString::fromUtf8(s.requested), s.faces);
    QApplication::setFont(defaultFont());
}

QFont defaultFont() {
    static const QFont font = [] {
        QFont f(kHangulSans);
        f.setHintingPreference(kHinting);
        int size = 13;
        f.setPixelSize(size);
        while (size > 6 && QFontMetrics(f).height() > kDefaultLinePixels)
            f.setPixelSize(--size);
        return f;
    }();
    return font;
}

namespace {

// Asked by name for a face that is not installed, Qt first ranks every installed font by
// likeness to it (over a millisecond at start-up) and only then tries the table's stand-ins;
// given more than one face, it ranks them all at once for the glyphs the first one lacks. So
// the first installed stand-in is named alone when it has Hangul, and otherwise followed by
// the rest of the table, which has.
QStringList familiesFor(const QString& face) {
    QStringList installed;
    for (const QString& standIn : QFont::substitutes(face))
        if (QFontDatabase::hasFamily(standIn))
            installed << standIn;
    if (installed.isEmpty())
        return {face};
    if (QFontDatabase::writingSystems(installed.first()).contains(QFontDatabase::Korean))
        return {installed.first()};
    return installed;
}

} // namespace

QFont fontFor(const FontProps& props) {
    QFont f = defaultFont();
    if (!props.face.isEmpty()) {
        f = QFont();
        f.setFamilies(familiesFor(props.face));
        f.setHintingPreference(kHinting);
        f.setPointSizeF(props.points);
    }
    // Set even when plain: a widget would otherwise take bold or italic from its container.
    f.setBold(props.bold);
    f.setItalic(props.italic);
    return f;
}

} // namespace ui
