// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "look.h"
#include "services.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QFrame;

namespace ui {

class Form;
class Picture;
class Windowless;

// Position and size in twips, relative to the container's client area.
struct Geometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// Something that holds controls: the window itself, a frame or a picture box. It paints its
// windowless controls in stored order, beneath its windowed ones.
class Container {
public:
    Container() = default;
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual Form& form() = 0;
    virtual QWidget* hostWidget() const = 0;
    // Top-left of the client area inside hostWidget(), in logical pixels.
    virtual QPoint clientOrigin() const { return {}; }
    void paintWindowless(QPainter& painter, const QRegion& dirty) const;
    void adopt(Windowless& control) { windowless_.push_back(&control); }
    const std::vector<Windowless*>& windowless() const { return windowless_; }
    // A step changed the control: its old and new places are repainted once the step is over,
    // so that what it passed through on the way is never drawn.
    void touched(Windowless& control);
    // Repaints what the steps that have ended changed, in every container.
    static void settleAll();

private:
    void settle();

    std::vector<Windowless*> windowless_;
    std::vector<Windowless*> unsettled_;
};

class Control {
public:
    Control(Form& form, QString name) : form_(form), name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    const QString& name() const { return name_; }
    Form& form() const { return form_; }

private:
    Form& form_;
    QString name_;
};

// Drawn by its container; every change repaints only the old and the new rectangle.
class Windowless : public Control {
public:
    Windowless(Container& container, QString name, Geometry at, bool visible);
    float Left() const { return at_.left; }
    float Top() const { return at_.top; }
    float Width() const { return at_.width; }
    float Height() const { return at_.height; }
    bool Visible() const { return visible_; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
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

private:
    friend class Container;
    void touch(bool content);
    void settle(QRegion& dirty);

    Container& container_;
    Geometry at_;
    // Every paint looks up where each control lies.
    mutable QRect pixels_;
    mutable bool pixelsKnown_ = false;
    bool visible_;
    bool unsettled_ = false;
    bool contentChanged_ = false;
    QRect shown_; // on screen before the changes not yet settled
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
    int tabIndex = 0;
};

class Label final : public Windowless {
public:
    Label(Container& container, QString name, const LabelProps& props);
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int style);
    QColor BackColor() const { return back_; }
    QColor ForeColor() const { return fore_; }
    int BorderStyle() const { return borderStyle_; }
    Alignment alignment() const { return alignment_; }
    bool AutoSize() const { return autoSize_; }
    const QFont& font() const { return font_; }
    const QString& FontName() const { return fontName_; }
    int TabIndex() const { return tabIndex_; }
    // What a screen reader calls the label; its caption unless set.
    QString accessibleName() const;
    void setAccessibleName(const QString& name) { accessibleName_ = name; }

    void paint(QPainter& painter) const override;

private:
    void fitToCaption();
    int textFlags() const;
    void drawCaption(QSize size, qreal pixelRatio, const QColor& ground) const;

    QString caption_;
    QFont font_;
    QString fontName_;
    QColor fore_;
    QColor back_;
    int backStyle_;
    int borderStyle_;
    Alignment alignment_;
    bool autoSize_;
    int tabIndex_;
    QString accessibleName_;
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
    int BorderStyle() const { return borderStyle_; }
    void paint(QPainter& painter) const override;

private:
    QColor back_;
    int backStyle_;
    int borderStyle_;
};

class Line final : public Windowless {
public:
    Line(Container& container, QString name, float x1, float y1, float x2, float y2);
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    QRect pixelRect() const override;
    void paint(QPainter& painter) const override;

private:
    float x1_, y1_, x2_, y2_;
};

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
    const QString& FontName() const { return fontName_; }
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
    QString fontName_;
    bool fontApplied_ = false;
    Geometry at_;
    int tabIndex_;
    bool visible_;
};

class TextBox final : public Windowed {
public:
    // The text cursor stops blinking this long after the last key, as on GTK desktops, and
    // blinks again at the next: a blink is a wake-up and a repaint twice a second.
    static constexpr int kCaretRestMs = 10000;

    TextBox(Container& container, QString name, const WindowedProps& props);
    ~TextBox() override;
    // In Unicode NFC, whatever form the input method delivered.
    QString Text() const;
    void setText(const QString& text);
    // Runs for every character key before the box applies it; the handler may change the code,
    // and 0 swallows the key.
    void onKeyPress(std::function<void(int& keyAscii)> handler);
    QLineEdit* lineEdit() const;

private:
    std::unique_ptr<TimerBackend> caretRest_;
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

// Opaque, with a sunken single border; clips what it holds to its client area.
class PictureBox final : public Windowed, public Container {
public:
    PictureBox(Container& container, QString name, const WindowedProps& props);
    Form& form() override { return Windowed::form(); }
    QWidget* hostWidget() const override { return widget(); }
    QPoint clientOrigin() const override;
};

// Fires every Interval ms while Enabled; switching it on or changing the interval starts a
// full period afresh, and interval 0 stops it. While its window shows a message box, the
// periods that fall due are dropped.
class Timer final : public Control {
public:
    Timer(Form& form, QString name, int intervalMs, bool enabled);
    ~Timer() override;
    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool running() const { return enabled_ && interval_ > 0; }
    void onTimer(std::function<void()> handler) { handler_ = std::move(handler); }

private:
    void restart();
    void tick();

    std::unique_ptr<TimerBackend> backend_;
    std::function<void()> handler_;
    int interval_;
    bool enabled_;
};

// A window: created empty, built and loaded once on first use, then shown and hidden.
class Form : public Container {
public:
    Form(Services& services, QString name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& name() const { return name_; }
    Services& services() const { return services_; }
    Form& form() override { return *this; }
    QWidget* hostWidget() const override;
    QWidget* widget() const { return hostWidget(); }

    // Creates the controls and runs the load step, the first time only.
    void Load();
    bool loaded() const { return loaded_; }
    void Show();
    void Hide();
    bool shown() const;

    QString Caption() const;
    void setIcon(const Picture& picture);
    QColor BackColor() const { return back_; }

    void MsgBox(const QString& prompt, const QString& title);
    bool messageBoxOpen() const { return boxesOpen_ > 0; }

    // Runs one event step under the error policy: an escaping error ends the program.
    void dispatch(const std::function<void()>& step);

    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    Control* find(const QString& name) const;

protected:
    void setWindow(const QString& caption, int clientWidthTwips, int clientHeightTwips,
                   const QColor& back);
    template <class T, class... Args> T& add(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }
    virtual void build() = 0;
    virtual void Form_Load() = 0;

private:
    void chainTabOrder();

    Services& services_;
    QString name_;
    std::unique_ptr<QWidget> window_;
    std::vector<std::unique_ptr<Control>> controls_;
    QColor back_;
    bool loaded_ = false;
    int boxesOpen_ = 0;
};

// The container that paints its windowless controls into this widget, if any.
const Container* containerHostedBy(const QObject* widget);

} // namespace ui
