// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "container.h"
#include "ui/services/look.h"

#include <QColor>
#include <QFont>

#include <functional>

class QPushButton;
class QRadioButton;

namespace ui {

struct WindowedProps {
    Geometry at;
    FontProps font;
    int tabIndex = 0;
    bool enabled = true;
    bool visible = true;
};

// A control that is a Qt widget of its own.
class Windowed : public Control {
public:
    QWidget* widget() const { return widget_; }
    bool Enabled() const;
    void setEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    int TabIndex() const { return tabIndex_; }
    bool canTakeFocus() const;
    void SetFocus();
    const Geometry& geometry() const { return at_; }
    const QFont& font() const { return font_; }
    // What a screen reader calls a control that has no caption.
    void setAccessibleName(const QString& name);
    // The widget takes its font when its window is first shown: a font set earlier is loaded
    // and measured at once, for a window that may stay hidden for a long time.
    void applyFont();

protected:
    Windowed(Container& container, QString name, QWidget* widget, const WindowedProps& props);

private:
    QWidget* widget_;
    QFont font_;
    bool fontApplied_ = false;
    Geometry at_;
    int tabIndex_;
    bool visible_;
};

class CommandButton final : public Windowed {
public:
    CommandButton(Container& container, QString name, const QString& caption,
                  const WindowedProps& props);
    QString Caption() const;
    QColor BackColor() const;
    void setBackColor(const QColor& color);
    void onClick(std::function<void()> handler);
    QPushButton* button() const;
};

// One group of option buttons per frame: at most one selected.
class OptionButton final : public Windowed {
public:
    OptionButton(Container& container, QString name, const QString& caption,
                 const WindowedProps& props);
    QString Caption() const;
    bool Value() const;
    // Selecting by program runs the click step at once, nested in the caller's step;
    // selecting the option that is already selected does nothing.
    void setValue(bool selected);
    void onClick(std::function<void()> handler);
    QRadioButton* radio() const;

private:
    std::function<void()> handler_;
    bool selectingByProgram_ = false;
};

class Frame final : public Windowed, public Container {
public:
    Frame(Container& container, QString name, const QString& caption, const WindowedProps& props);
    QString Caption() const;
    Form& form() override { return Windowed::form(); }
    QWidget* hostWidget() const override { return widget(); }
};

// Opaque, with a sunken single border; clips what it holds to its client area. The container
// comes first: the widget made for the control links to it.
class PictureBox final : public Container, public Windowed {
public:
    PictureBox(Container& container, QString name, const WindowedProps& props);
    Form& form() override { return Windowed::form(); }
    QWidget* hostWidget() const override { return widget(); }
    QPoint clientOrigin() const override;
};

} // namespace ui
