// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls.h"

#include "accessible.h"
#include "picture.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

namespace {

// Frames and picture boxes have the button face of their kind, not the colour of their window.
void fillWithButtonFace(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, systemColor(SystemColor::ButtonFace));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QRect pixelRectOf(const Geometry& g) {
    const int left = pixels(g.left);
    const int top = pixels(g.top);
    return QRect(QPoint(left, top),
                 QPoint(pixels(g.left + g.width) - 1, pixels(g.top + g.height) - 1));
}

// Paints a container's windowless controls under its child widgets.
class PaintedWidget : public QWidget {
public:
    PaintedWidget(const Container& container, QWidget* parent)
        : QWidget(parent), container_(container) {}
    const Container& container() const { return container_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        container_.paintWindowless(painter, event->region());
    }

private:
    const Container& container_;
};

class WindowWidget final : public PaintedWidget {
public:
    WindowWidget(Form& form) : PaintedWidget(form, nullptr), form_(form) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        // Closing either window through its frame ends the program, as Exit does: a hidden
        // window left behind would keep a process alive with nothing on screen.
        event->accept();
        form_.dispatch([this] { form_.services().program.end(); });
    }

private:
    Form& form_;
};

class PictureWidget final : public QFrame {
public:
    PictureWidget(const Container& container, QWidget* parent)
        : QFrame(parent), container_(container) {}
    const Container& container() const { return container_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setClipRect(contentsRect());
        container_.paintWindowless(painter, event->region());
    }

private:
    const Container& container_;
};

// Styles tint and shade a button's palette colour (Fusion pales it); a face colour set by the
// program shows as it is, inside the style's own frame.
class FaceButton final : public QPushButton {
public:
    using QPushButton::QPushButton;
    const QColor& face() const { return face_; }
    void setFace(const QColor& color) {
        face_ = color;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!face_.isValid()) {
            QPushButton::paintEvent(event);
            return;
        }
        QStyleOptionButton option;
        initStyleOption(&option);
        const Look look{face_.rgba(), option.state,       option.features, option.text,
                        size(),       devicePixelRatio(), font(),          palette()};
        // A blinking button alternates two faces: each is drawn once, then copied. Drawing
        // it means laying out and rendering its caption again, most of an idle second's work.
        auto drawn = std::find_if(drawn_.begin(), drawn_.end(),
                                  [&](const Drawn& d) { return d.look == look; });
        if (drawn == drawn_.end()) {
            if (drawn_.size() == 2)
                drawn_.erase(drawn_.begin());
            drawn_.push_back({look, draw(option)});
            drawn = std::prev(drawn_.end());
        }
        QPainter(this).drawPixmap(0, 0, drawn->picture);
    }

private:
    struct Look {
        QRgb face;
        QStyle::State state;
        QStyleOptionButton::ButtonFeatures features;
        QString text;
        QSize size;
        qreal ratio;
        QFont font;
        QPalette palette;
        bool operator==(const Look& other) const {
            return face == other.face && state == other.state && features == other.features &&
                   text == other.text && size == other.size && ratio == other.ratio &&
                   font == other.font && palette == other.palette;
        }
    };
    struct Drawn {
        Look look;
        QPixmap picture;
    };

    QPixmap draw(const QStyleOptionButton& option) const {
        QPixmap picture(size() * devicePixelRatio());
        picture.setDevicePixelRatio(devicePixelRatio());
        picture.fill(Qt::transparent);
        QStylePainter painter(&picture, const_cast<FaceButton*>(this));
        painter.setFont(font());
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
        painter.fillRect(rect().adjusted(2, 2, -2, -2), isDown() ? face_.darker(115) : face_);
        QStyleOptionButton label = option;
        label.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.drawControl(QStyle::CE_PushButtonLabel, label);
        return picture;
    }

    QColor face_;
    std::vector<Drawn> drawn_;
};

// Reports every character key before it is applied, and keeps track of the input method's
// composition so that a word ended while its last syllable is still composing counts whole.
class EntryWidget final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void(int&)> keyPress;
    std::function<void()> typing; // a key, a composition or the focus came in

protected:
    void focusInEvent(QFocusEvent* event) override {
        if (typing)
            typing();
        QLineEdit::focusInEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (typing)
            typing();
        // The input method has dealt with everything before this key: a judged syllable it
        // has not delivered by now will not come.
        lateCommit_.clear();
        int code = keyCodeOf(*event);
        if (code == 0 || !keyPress) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        if ((code == 13 || code == 32) && !composing_.isEmpty())
            takeComposition();
        keyPress(code);
        if (code == 0) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        if (typing)
            typing();
        composing_ = event->preeditString();
        const QString commit = event->commitString();
        if (!lateCommit_.isEmpty() && sameText(commit, lateCommit_)) {
            // The syllable was judged with its word already; it must not start the next one.
            lateCommit_.clear();
            QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
            QLineEdit::inputMethodEvent(&withoutCommit);
            return;
        }
        // Engines clear their composition before they flush it, so an event that only empties
        // the composition must not end the wait for the late syllable.
        if (!commit.isEmpty() || !composing_.isEmpty())
            lateCommit_.clear();
        QLineEdit::inputMethodEvent(event);
    }

private:
    static bool sameText(const QString& a, const QString& b) {
        return a.normalized(QString::NormalizationForm_C) ==
               b.normalized(QString::NormalizationForm_C);
    }

    static int keyCodeOf(const QKeyEvent& event) {
        switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Escape:
            return 27;
        default:
            break;
        }
        const QString text = event.text();
        return text.isEmpty() ? 0 : text.at(0).unicode();
    }

    // Folds the pending syllable into the text, where the input method would have put it.
    void takeComposition() {
        QString text = this->text();
        const int at = cursorPosition();
        text.insert(at, composing_);
        lateCommit_ = std::exchange(composing_, QString());
        setText(text);
        setCursorPosition(at + static_cast<int>(lateCommit_.size()));
    }

    QString composing_;
    QString lateCommit_;
};

} // namespace

// ---- Container ---------------------------------------------------------------------------

namespace {

// Event steps under way in the innermost event loop: the outermost one settles what they all
// changed when it ends. A message box's loop counts afresh, so a step run there (a click in
// the other window) is painted when it ends, not when the box closes.
int stepsRunning = 0;
std::vector<Container*> unsettledContainers;

} // namespace

Container::~Container() { std::erase(unsettledContainers, this); }

void Container::touched(Windowless& control) {
    unsettled_.push_back(&control);
    if (unsettled_.size() > 1)
        return;
    if (stepsRunning > 0) {
        unsettledContainers.push_back(this);
        return;
    }
    // Changed outside any step (while a window is built): painted on the next turn of the loop.
    QMetaObject::invokeMethod(
        hostWidget(), [this] { settle(); }, Qt::QueuedConnection);
}

void Container::settleAll() {
    for (Container* container : std::exchange(unsettledContainers, {}))
        container->settle();
}

// Painted at once, as the step ends: a posted update request would cost every tick of play a
// second turn of the event loop.
void Container::settle() {
    QRegion dirty;
    for (Windowless* control : std::exchange(unsettled_, {}))
        control->settle(dirty);
    QWidget* host = hostWidget();
    if (dirty.isEmpty() || !host || !host->isVisible())
        return;
    host->repaint(dirty.translated(clientOrigin()));
}

// Only the controls under the dirty rectangles themselves: words far apart make a bounding
// rectangle that spans the whole play field.
void Container::paintWindowless(QPainter& painter, const QRegion& dirty) const {
    painter.save();
    painter.translate(clientOrigin());
    const QRegion clientDirty = dirty.translated(-clientOrigin());
    for (const Windowless* control : windowless_) {
        if (control->Visible() &&
            clientDirty.intersects(control->pixelRect().adjusted(-1, -1, 1, 1)))
            control->paint(painter);
    }
    painter.restore();
}

// ---- Windowless --------------------------------------------------------------------------

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

void Windowless::touch(bool content) {
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

void Windowless::setLeft(float twips) {
    if (twips != at_.left)
        reshape([&] { at_.left = twips; });
}
void Windowless::setTop(float twips) {
    if (twips != at_.top)
        reshape([&] { at_.top = twips; });
}
void Windowless::setWidth(float twips) {
    if (twips != at_.width)
        reshape([&] { at_.width = twips; });
}
void Windowless::setHeight(float twips) {
    if (twips != at_.height)
        reshape([&] { at_.height = twips; });
}
void Windowless::setVisible(bool visible) {
    if (visible == visible_)
        return;
    touch(true);
    visible_ = visible;
    announce(*this, visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
}

// ---- Label -------------------------------------------------------------------------------

namespace {
// A line break in a caption is a single carriage return.
QString displayText(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// An auto-sized label takes its text's size plus a small margin, so that with no caption and
// the default font (11 pixels a line) it is 75 by 180 twips.
constexpr int kAutoSizeMarginX = 5;
constexpr int kAutoSizeMarginY = 1;
} // namespace

Label::Label(Container& container, QString name, const LabelProps& props)
    : Windowless(container, std::move(name), props.at, props.visible), caption_(props.caption),
      font_(fontFor(props.font)), fontName_(fontNameOf(props.font)),
      fore_(props.foreColor.isValid() ? props.foreColor : systemColor(SystemColor::ButtonText)),
      back_(props.backColor.isValid() ? props.backColor : systemColor(SystemColor::ButtonFace)),
      backStyle_(props.backStyle), borderStyle_(props.borderStyle), alignment_(props.alignment),
      autoSize_(props.autoSize), tabIndex_(props.tabIndex) {
    if (autoSize_)
        fitToCaption();
}

void Label::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    change([&] {
        caption_ = caption;
        if (autoSize_)
            fitToCaption();
    });
    announce(*this, QAccessible::NameChanged);
}

QString Label::accessibleName() const {
    return accessibleName_.isEmpty() ? displayText(caption_) : accessibleName_;
}

void Label::setBackStyle(int style) {
    if (style == backStyle_)
        return;
    change([&] { backStyle_ = style; });
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
    const QRect inside = borderStyle_ == 1 ? rect.adjusted(1, 1, -1, -1) : rect;
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

// ---- Shape and Line ----------------------------------------------------------------------

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

// ---- Windowed ----------------------------------------------------------------------------

Windowed::Windowed(Container& container, QString name, QWidget* widget, const WindowedProps& props)
    : Control(container.form(), std::move(name)), widget_(widget), font_(fontFor(props.font)),
      fontName_(fontNameOf(props.font)), at_(props.at), tabIndex_(props.tabIndex),
      visible_(props.visible) {
    widget_->setObjectName(this->name());
    widget_->setGeometry(pixelRectOf(at_).translated(container.clientOrigin()));
    widget_->setEnabled(props.enabled);
    widget_->setVisible(props.visible);
}

void Windowed::applyFont() {
    if (std::exchange(fontApplied_, true))
        return;
    widget_->setFont(font_);
}

bool Windowed::Enabled() const { return widget_->isEnabled(); }
void Windowed::setEnabled(bool enabled) { widget_->setEnabled(enabled); }

void Windowed::setVisible(bool visible) {
    visible_ = visible;
    widget_->setVisible(visible);
}

bool Windowed::canTakeFocus() const { return widget_->focusPolicy() & Qt::TabFocus; }

void Windowed::SetFocus() { widget_->setFocus(Qt::OtherFocusReason); }

void Windowed::setAccessibleName(const QString& name) { widget_->setAccessibleName(name); }

// ---- TextBox -----------------------------------------------------------------------------

namespace {

// The desktop's blink period while the text cursor rests; 0 while it blinks.
int restingFlashTime = 0;

void restCaret() {
    QStyleHints* hints = QGuiApplication::styleHints();
    if (restingFlashTime == 0 && hints->cursorFlashTime() > 0) {
        restingFlashTime = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    }
}

void wakeCaret() {
    if (restingFlashTime > 0)
        QGuiApplication::styleHints()->setCursorFlashTime(std::exchange(restingFlashTime, 0));
}

} // namespace

TextBox::TextBox(Container& container, QString name, const WindowedProps& props)
    : Windowed(container, std::move(name), new EntryWidget(container.hostWidget()), props),
      caretRest_(form().services().clock.makeTimer([this] {
          caretRest_->stop();
          restCaret();
      })) {
    static_cast<EntryWidget*>(widget())->typing = [this] {
        wakeCaret();
        caretRest_->start(kCaretRestMs);
    };
}

TextBox::~TextBox() { wakeCaret(); }

QLineEdit* TextBox::lineEdit() const { return static_cast<QLineEdit*>(widget()); }

// Input methods may deliver a syllable as its decomposed jamo; the words to match are
// composed, so the box hands out the composed form of whatever it holds.
QString TextBox::Text() const {
    return lineEdit()->text().normalized(QString::NormalizationForm_C);
}

void TextBox::setText(const QString& text) { lineEdit()->setText(text); }

void TextBox::onKeyPress(std::function<void(int&)> handler) {
    static_cast<EntryWidget*>(widget())->keyPress = [this,
                                                     handler = std::move(handler)](int& code) {
        form().dispatch([&] { handler(code); });
    };
}

// ---- CommandButton -----------------------------------------------------------------------

CommandButton::CommandButton(Container& container, QString name, const QString& caption,
                             const WindowedProps& props)
    : Windowed(container, std::move(name), new FaceButton(caption, container.hostWidget()), props) {
}

QPushButton* CommandButton::button() const { return static_cast<QPushButton*>(widget()); }

QString CommandButton::Caption() const { return button()->text(); }

QColor CommandButton::BackColor() const {
    const QColor& face = static_cast<const FaceButton*>(button())->face();
    return face.isValid() ? face : button()->palette().color(QPalette::Button);
}

// Only the face changes: a new palette at every blink would make the style draw and cache one
// more bevel image each time (70 KiB for the intro's button, twice a second).
void CommandButton::setBackColor(const QColor& color) {
    static_cast<FaceButton*>(button())->setFace(color);
}

void CommandButton::onClick(std::function<void()> handler) {
    QObject::connect(button(), &QPushButton::clicked, button(),
                     [this, handler = std::move(handler)] { form().dispatch(handler); });
}

// ---- OptionButton ------------------------------------------------------------------------

OptionButton::OptionButton(Container& container, QString name, const QString& caption,
                           const WindowedProps& props)
    : Windowed(container, std::move(name), new QRadioButton(caption, container.hostWidget()),
               props) {
    QObject::connect(radio(), &QRadioButton::toggled, radio(), [this](bool checked) {
        if (checked && !selectingByProgram_ && handler_)
            form().dispatch(handler_);
    });
}

QRadioButton* OptionButton::radio() const { return static_cast<QRadioButton*>(widget()); }

QString OptionButton::Caption() const { return radio()->text(); }

bool OptionButton::Value() const { return radio()->isChecked(); }

void OptionButton::setValue(bool selected) {
    if (selected == Value())
        return;
    selectingByProgram_ = true;
    radio()->setChecked(selected);
    selectingByProgram_ = false;
    // Called directly, so that an error in it ends the step that made the selection.
    if (selected && handler_)
        handler_();
}

void OptionButton::onClick(std::function<void()> handler) { handler_ = std::move(handler); }

// ---- Frame and PictureBox ----------------------------------------------------------------

Frame::Frame(Container& container, QString name, const QString& caption, const WindowedProps& props)
    : Windowed(container, std::move(name), new QGroupBox(caption, container.hostWidget()), props) {
    fillWithButtonFace(widget());
}

QString Frame::Caption() const { return static_cast<QGroupBox*>(widget())->title(); }

PictureBox::PictureBox(Container& container, QString name, const WindowedProps& props)
    : Windowed(container, std::move(name), new PictureWidget(*this, container.hostWidget()),
               props) {
    auto* frame = static_cast<QFrame*>(widget());
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    fillWithButtonFace(frame);
    frame->setFocusPolicy(Qt::StrongFocus);
}

QPoint PictureBox::clientOrigin() const {
    return static_cast<QFrame*>(widget())->contentsRect().topLeft();
}

// ---- Timer -------------------------------------------------------------------------------

Timer::Timer(Form& form, QString name, int intervalMs, bool enabled)
    : Control(form, std::move(name)), backend_(form.services().clock.makeTimer([this] { tick(); })),
      interval_(intervalMs), enabled_(enabled) {
    restart();
}

Timer::~Timer() = default;

void Timer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void Timer::restart() {
    if (running())
        backend_->start(interval_);
    else
        backend_->stop();
}

void Timer::tick() {
    if (!running() || !handler_ || form().messageBoxOpen() || form().services().program.ended())
        return;
    form().dispatch(handler_);
}

// ---- Form --------------------------------------------------------------------------------

Form::Form(Services& services, QString name) : services_(services), name_(std::move(name)) {}

// Controls go before the window: widgets die with it, and timers must stop first.
Form::~Form() { controls_.clear(); }

QWidget* Form::hostWidget() const { return window_.get(); }

void Form::setWindow(const QString& caption, int clientWidthTwips, int clientHeightTwips,
                     const QColor& back) {
    back_ = back;
    window_->setWindowTitle(caption);
    window_->setFixedSize(pixels(clientWidthTwips), pixels(clientHeightTwips));
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, back);
    window_->setPalette(palette);
    window_->setAutoFillBackground(true);
}

void Form::Load() {
    if (loaded_)
        return;
    loaded_ = true;
    installAccessibility();
    window_ = std::make_unique<WindowWidget>(*this);
    window_->setObjectName(name_);
    build();
    chainTabOrder();
    dispatch([this] { Form_Load(); });
}

void Form::chainTabOrder() {
    std::vector<Windowed*> chain;
    for (const auto& control : controls_)
        if (auto* w = dynamic_cast<Windowed*>(control.get()); w && w->canTakeFocus())
            chain.push_back(w);
    std::stable_sort(chain.begin(), chain.end(), [](const Windowed* a, const Windowed* b) {
        return a->TabIndex() < b->TabIndex();
    });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1]->widget(), chain[i]->widget());
    // The window opens with the focus on the first control of the tab order that can take it.
    for (Windowed* w : chain) {
        if (w->Enabled() && w->Visible()) {
            w->SetFocus();
            break;
        }
    }
}

void Form::Show() {
    Load();
    if (services_.program.ended())
        return;
    for (const auto& control : controls_)
        if (auto* windowed = dynamic_cast<Windowed*>(control.get()))
            windowed->applyFont();
    window_->show();
    window_->activateWindow();
}

void Form::Hide() {
    if (window_)
        window_->hide();
}

bool Form::shown() const { return window_ && window_->isVisible(); }

QString Form::Caption() const { return window_ ? window_->windowTitle() : QString(); }

void Form::setIcon(const Picture& picture) {
    Load();
    window_->setWindowIcon(picture.icon());
}

void Form::MsgBox(const QString& prompt, const QString& title) {
    // The window under the box shows what the step has done so far.
    Container::settleAll();
    ++boxesOpen_;
    struct Close {
        int& open;
        int steps;
        ~Close() {
            --open;
            stepsRunning = steps;
        }
    } close{boxesOpen_, std::exchange(stepsRunning, 0)};
    services_.messages.critical(*this, prompt, title);
}

void Form::dispatch(const std::function<void()>& step) {
    if (services_.program.ended())
        return;
    ++stepsRunning;
    try {
        step();
    } catch (const std::exception& error) {
        services_.program.fail(error);
    } catch (...) {
        services_.program.fail(std::runtime_error("an unknown error"));
    }
    if (--stepsRunning == 0)
        Container::settleAll();
}

const Container* containerHostedBy(const QObject* widget) {
    if (const auto* painted = dynamic_cast<const PaintedWidget*>(widget))
        return &painted->container();
    if (const auto* picture = dynamic_cast<const PictureWidget*>(widget))
        return &picture->container();
    return nullptr;
}

Control* Form::find(const QString& name) const {
    for (const auto& control : controls_)
        if (control->name() == name)
            return control.get();
    return nullptr;
}

} // namespace ui
