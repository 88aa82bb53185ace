// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowless.h"

#include "accessible.h"
#include "form.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace ui {

Windowless::Windowless(Container& container, QString name, Geometry at, bool visible)
    : Control(container.form(), std::move(name)), container_(container), at_(at),
      visible_(visible) {
    container.adopt(*this);
}

QRect Windowless::pixelRect() const {
    if (!std::exchange(pixelsKnown_, true))
        pixels_ = pixelRectOf(at_);
    return pixels_;
}

std::uint64_t Windowless::nextChange() {
    static std::uint64_t changes = 0;
    return ++changes;
}

void Windowless::touch(bool content) {
    if (content && !contentChanged_)
        contentChangedAt_ = nextChange();
    contentChanged_ = contentChanged_ || content;
    if (unsettled_)
        return;
    unsettled_ = true;
    shown_ = visible_ ? pixelRect() : QRect();
    container_.touched(*this);
}

void Windowless::settle(QRegion& dirty) {
    unsettled_ = false;
    const QRect now = visible_ ? pixelRect() : QRect();
    const bool content = std::exchange(contentChanged_, false);
    settled(content);
    if (now == shown_ && !content)
        return;
    // A small step overlaps the old place: one rectangle, and one less for Qt to merge.
    // Antialiased edges reach a pixel past the rectangle.
    const auto grown = [](const QRect& r) { return r.isEmpty() ? r : r.adjusted(-1, -1, 1, 1); };
    if (now.intersects(shown_)) {
        dirty += grown(now.united(shown_));
    } else {
        dirty += grown(shown_);
        dirty += grown(now);
    }
}

void Windowless::setTop(float twips) {
    if (twips == at_.top)
        return;
    const Geometry from = at_;
    reshape([&] { at_.top = twips; });
    moved(from);
}
void Windowless::setHeight(float twips) {
    if (twips != at_.height)
        reshape([&] { at_.height = twips; });
}
void Windowless::setVisible(bool visible) {
    if (visible == visible_) {
        if (visible)
            shownAgain();
        return;
    }
    touch(true);
    visible_ = visible;
}

namespace {
// A line break in a caption is a single carriage return.
QString displayText(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// On one line, as a screen reader says it.
QString spoken(const QString& caption) {
    return displayText(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

// An auto-sized label takes its text's size plus a small margin, so that with no caption and
// the default font (11 pixels a line) it is 75 by 180 twips.
constexpr int kAutoSizeMarginX = 5;
constexpr int kAutoSizeMarginY = 1;
} // namespace

Label::Label(Container& container, QString name, const LabelProps& props)
    : Windowless(container, std::move(name), props.at, props.visible), caption_(props.caption),
      font_(fontFor(props.font)),
      fore_(props.foreColor.isValid() ? props.foreColor : systemColor(SystemColor::ButtonText)),
      back_(props.backColor.isValid() ? props.backColor : systemColor(SystemColor::ButtonFace)),
      backStyle_(props.backStyle), borderStyle_(props.borderStyle), alignment_(props.alignment),
      autoSize_(props.autoSize), announced_(caption_), announcedShown_(props.visible) {
    if (autoSize_)
        fitToCaption();
}

Label::~Label() { forgetAccessible(*this); }

void Label::setCaption(const QString& caption) {
    if (falling_)
        dealt();
    if (caption == caption_)
        return;
    change([&] {
        caption_ = caption;
        if (autoSize_)
            fitToCaption();
    });
}

QString Label::accessibleName() const {
    return accessibleName_.isEmpty() ? accessibleText() : accessibleName_;
}

QString Label::accessibleText() const { return displayText(caption_); }

// Once a step, however often it rewrote the caption or showed and hid the label: a score that
// takes a point and a bonus is read once, with its new value.
void Label::settled(bool contentChanged) {
    wentDownAt_ = 0;
    if (!contentChanged)
        return;
    const bool shownChanged = Visible() != announcedShown_;
    const bool captionChanged = caption_ != announced_;
    if (shownChanged)
        announceShown(*this, announcedShown_ = Visible());
    if (captionChanged) {
        const QString before = displayText(std::exchange(announced_, caption_));
        announceCaption(*this, before, accessibleName_.isEmpty());
    }
    // A falling label changes only to be dealt or shown: told even with the caption it had.
    if (Visible() && (shownChanged || captionChanged || falling_))
        form().tell(accessibleName_.isEmpty() ? spoken(caption_)
                                              : accessibleName_ + u' ' + spoken(caption_),
                    contentChangedAt());
}

// Dealt again in the same steps, it went below the field (a hit deals a word where it stands):
// told before the news its going brings about (a life lost).
void Label::moved(const Geometry& from) {
    if (falling_ && Top() > from.top)
        wentDownAt_ = nextChange();
}

void Label::shownAgain() {
    if (falling_)
        dealt();
}

// Before a new caption is set: the one that fell is still the label's.
void Label::dealt() {
    if (const std::uint64_t at = std::exchange(wentDownAt_, 0))
        form().tell(spoken(caption_) + u" fell"_s, at);
    change([] {});
}

// Lines as drawn: each aligned on its own in the label's inside, one line spacing apart.
QRect Label::characterRect(int offset) const {
    const QString text = accessibleText();
    if (offset < 0 || offset >= text.size())
        return {};
    const QRect inside = insideRect();
    const QFontMetrics metrics(font_);
    const qsizetype start = offset == 0 ? 0 : text.lastIndexOf(QLatin1Char('\n'), offset - 1) + 1;
    const QString line = text.mid(start).section(QLatin1Char('\n'), 0, 0);
    const int left = metrics.boundingRect(inside, textFlags(), line).left();
    const auto row = static_cast<int>(text.left(start).count(QLatin1Char('\n')));
    return QRect(left + metrics.horizontalAdvance(line.left(offset - start)),
                 inside.top() + row * metrics.lineSpacing(),
                 metrics.horizontalAdvance(text.at(offset)), metrics.height())
        .intersected(inside); // what the label clips is not on screen
}

void Label::setBackStyle(int style) {
    if (style == backStyle_)
        return;
    change([&] { backStyle_ = style; });
}

std::function<std::optional<double>(const QString&)> Label::widerThan(double room,
                                                                      const FontProps& font) {
    struct Measure {
        double room;
        QFontMetrics metrics;
        QFontMetricsF each;
        QHash<char16_t, qreal> advances;
        std::optional<double> operator()(const QString& line) {
            // Laying a line out costs a microsecond or more; most lines are far shorter than
            // the room, which their characters' own advances tell. Scripts whose shaping may
            // widen a line, and a total within a pixel of the room, are laid out.
            qreal bound = 1 + kAutoSizeMarginX;
            for (const QChar ch : line) {
                const QChar::Script script = ch.script();
                if (script != QChar::Script_Latin && script != QChar::Script_Hangul &&
                    script != QChar::Script_Common) {
                    bound = std::numeric_limits<qreal>::infinity();
                    break;
                }
                auto advance = advances.constFind(ch.unicode());
                if (advance == advances.cend())
                    advance = advances.insert(ch.unicode(), each.horizontalAdvance(ch));
                bound += *advance;
            }
            if (twipsOf(1) * bound <= room)
                return std::nullopt;
            const double width = twipsOf(metrics.horizontalAdvance(line) + kAutoSizeMarginX);
            return width <= room ? std::nullopt : std::optional(width);
        }
    };
    const QFont shown = fontFor(font);
    return Measure{room, QFontMetrics(shown), QFontMetricsF(shown), {}};
}

void Label::fitToCaption() {
    const QFontMetrics metrics(font_);
    const QStringList lines = displayText(caption_).split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // Keeps the left edge where the layout put it.
    at().width = static_cast<float>(twipsOf(widest + kAutoSizeMarginX));
    at().height = static_cast<float>(
        twipsOf(metrics.height() * static_cast<int>(lines.size()) + kAutoSizeMarginY));
}

void Label::paint(QPainter& painter) const {
    const QRect rect = pixelRect();
    const QRect inside = insideRect();
    const bool drawsCaption = !caption_.isEmpty() && !inside.isEmpty();
    const QColor ground = backStyle_ == 1 ? back_ : QColor(Qt::transparent);
    const qreal ratio = painter.device()->devicePixelRatio();
    // An opaque caption picture fills the inside itself, unless a fractional scale leaves a
    // sliver of device pixels at its edges.
    const bool pictureFills = drawsCaption && borderStyle_ != 1 && ratio == std::floor(ratio);
    if (backStyle_ == 1 && !pictureFills)
        painter.fillRect(rect, back_);
    if (borderStyle_ == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (!drawsCaption)
        return;
    if (drawn_.isNull() || drawnCaption_ != caption_ || drawnSize_ != inside.size() ||
        drawn_.devicePixelRatio() != ratio || drawnGround_ != ground)
        drawCaption(inside.size(), ratio, ground);
    painter.drawPixmap(inside.topLeft(), drawn_);
}

QRect Label::insideRect() const {
    return borderStyle_ == 1 ? pixelRect().adjusted(1, 1, -1, -1) : pixelRect();
}

int Label::textFlags() const {
    int flags = Qt::AlignTop;
    switch (alignment_) {
    case Alignment::Left:
        flags |= Qt::AlignLeft;
        break;
    case Alignment::Right:
        flags |= Qt::AlignRight;
        break;
    case Alignment::Center:
        flags |= Qt::AlignHCenter;
        break;
    }
    if (!autoSize_)
        flags |= Qt::TextWordWrap;
    return flags;
}

void Label::drawCaption(QSize size, qreal pixelRatio, const QColor& ground) const {
    drawn_ = QPixmap(size * pixelRatio);
    drawn_.setDevicePixelRatio(pixelRatio);
    drawn_.fill(ground);
    // Lines below the bottom edge are never seen, and laying them out would load and render
    // their glyphs all the same: the rolling credits show two lines at first and never all.
    // Every line is at least half a line of the label's font tall.
    const int halfLine = std::max(1, QFontMetrics(font_).lineSpacing() / 2);
    const QString text =
        displayText(caption_).section(QLatin1Char('\n'), 0, size.height() / halfLine + 1);
    QPainter painter(&drawn_);
    painter.setFont(font_);
    painter.setPen(fore_);
    painter.drawText(QRect(QPoint(), size), textFlags(), text);
    drawnCaption_ = caption_;
    drawnSize_ = size;
    drawnGround_ = ground;
}

Shape::Shape(Container& container, QString name, const ShapeProps& props)
    : Windowless(container, std::move(name), props.at, true), back_(props.backColor),
      backStyle_(props.backStyle), borderStyle_(props.borderStyle) {}

void Shape::setBackStyle(int style) {
    if (style == backStyle_)
        return;
    change([&] { backStyle_ = style; });
}

void Shape::paint(QPainter& painter) const {
    const QRect rect = pixelRect();
    if (backStyle_ == 1)
        painter.fillRect(rect, back_);
    if (borderStyle_ != 0) {
        painter.setPen(systemColor(SystemColor::WindowText));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

Line::Line(Container& container, QString name, float x1, float y1, float x2, float y2)
    : Windowless(container, std::move(name),
                 Geometry{std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)},
                 true),
      x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

QRect Line::pixelRect() const {
    return QRect(QPoint(pixels(x1_), pixels(y1_)), QPoint(pixels(x2_), pixels(y2_))).normalized();
}

void Line::paint(QPainter& painter) const {
    painter.setPen(QPen(systemColor(SystemColor::WindowText), 0));
    painter.drawLine(QPoint(pixels(x1_), pixels(y1_)), QPoint(pixels(x2_), pixels(y2_)));
}

} // namespace ui
