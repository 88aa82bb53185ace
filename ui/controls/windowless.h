// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "container.h"
#include "ui/services/look.h"

#include <QColor>
#include <QFont>
#include <QPixmap>

#include <cstdint>
#include <functional>
#include <optional>

namespace ui {

// Drawn by its container; every change repaints only the old and the new rectangle.
class Windowless : public Control {
public:
    Windowless(Container& container, QString name, Geometry at, bool visible);
    ~Windowless() override { container_.release(*this); }
    float Top() const { return at_.top; }
    float Height() const { return at_.height; }
    bool Visible() const { return visible_; }
    void setTop(float twips);
    void setHeight(float twips);
    void setVisible(bool visible);

    // Client-area pixels of the container.
    virtual QRect pixelRect() const;
    virtual void paint(QPainter& painter) const = 0;

protected:
    // What it shows changed: repainted even where it stands.
    template <class Change> void change(Change&& apply) {
        touch(true);
        apply();
    }
    // A move or a resize repaints only when the control lands on other pixels: a word falling
    // by less than a pixel looks the same.
    template <class Change> void reshape(Change&& apply) {
        touch(false);
        apply();
        pixelsKnown_ = false;
    }
    Geometry& at() {
        pixelsKnown_ = false;
        return at_;
    }
    std::uint64_t contentChangedAt() const { return contentChangedAt_; }
    // Orders what the steps change, across every control.
    static std::uint64_t nextChange();

private:
    friend class Container;
    void touch(bool content);
    void settle(QRegion& dirty);
    // The steps under way have ended; when they changed what it shows, screen readers hear of
    // it now.
    virtual void settled(bool /*contentChanged*/) {}
    virtual void moved(const Geometry& /*from*/) {}
    // Shown by a step while it was showing.
    virtual void shownAgain() {}

    Container& container_;
    Geometry at_;
    // Every paint looks up where each control lies.
    mutable QRect pixels_;
    mutable bool pixelsKnown_ = false;
    bool visible_;
    bool unsettled_ = false;
    bool contentChanged_ = false;
    std::uint64_t contentChangedAt_ = 0; // when in the steps what it shows first changed
    QRect shown_;                        // on screen before the changes not yet settled
};

enum class Alignment { Left = 0, Right = 1, Center = 2 };

struct LabelProps {
    QString caption;
    Geometry at;
    FontProps font;
    QColor foreColor;
    QColor backColor;
    int backStyle = 1; // 0 transparent, 1 opaque
    int borderStyle = 0;
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool visible = true;
};

class Label final : public Windowless {
public:
    Label(Container& container, QString name, const LabelProps& props);
    ~Label() override;
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int style);
    QColor BackColor() const { return back_; }
    const QFont& font() const { return font_; }
    // What a screen reader calls the label; its caption unless set.
    QString accessibleName() const;
    void setAccessibleName(const QString& name) { accessibleName_ = name; }
    // A label that falls down its window and starts again at the top, as a falling word does:
    // whenever a step shows it or sets its caption, a screen reader hears it dealt, even with
    // the caption it had; and when the same steps had moved it down, that the caption it had
    // fell.
    void setFalling(bool falling) { falling_ = falling; }
    // The width in twips an auto-sized label of that font takes for one line of text, or
    // nothing when that is no more than `room` twips.
    static std::function<std::optional<double>(const QString&)> widerThan(double room,
                                                                          const FontProps& font);
    // The caption with its line breaks, as a screen reader reads it.
    QString accessibleText() const;
    // Where that text's character lies in the container's client area, as it is drawn.
    QRect characterRect(int offset) const;

    void paint(QPainter& painter) const override;

private:
    void settled(bool contentChanged) override;
    void moved(const Geometry& from) override;
    void shownAgain() override;
    void dealt();
    void fitToCaption();
    QRect insideRect() const; // within the border, where the caption is drawn
    int textFlags() const;
    void drawCaption(QSize size, qreal pixelRatio, const QColor& ground) const;

    QString caption_;
    QFont font_;
    QColor fore_;
    QColor back_;
    int backStyle_;
    int borderStyle_;
    Alignment alignment_;
    bool autoSize_;
    QString accessibleName_;
    QString announced_;   // the caption screen readers last heard of
    bool announcedShown_; // and whether they last heard it shown
    bool falling_ = false;
    std::uint64_t wentDownAt_ = 0; // in the steps under way; 0 if it did not
    // The caption as last drawn, on the label's own ground: laying a text out costs far more
    // than copying its pixels, and most paints show a caption that has not changed. On an
    // opaque ground the copy is a plain one, with nothing to blend.
    mutable QPixmap drawn_;
    mutable QString drawnCaption_;
    mutable QSize drawnSize_;
    mutable QColor drawnGround_;
};

struct ShapeProps {
    Geometry at;
    QColor backColor;
    int backStyle = 0;
    int borderStyle = 1;
};

class Shape final : public Windowless {
public:
    Shape(Container& container, QString name, const ShapeProps& props);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int style);
    QColor BackColor() const { return back_; }
    void paint(QPainter& painter) const override;

private:
    QColor back_;
    int backStyle_;
    int borderStyle_;
};

class Line final : public Windowless {
public:
    Line(Container& container, QString name, float x1, float y1, float x2, float y2);
    QRect pixelRect() const override;
    void paint(QPainter& painter) const override;

private:
    float x1_, y1_, x2_, y2_;
};

} // namespace ui
