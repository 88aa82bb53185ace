// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowed.h"

#include "form.h"
#include "hosts.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
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

// Styles tint and shade a button's palette colour (Fusion pales it); a face colour set by the
// program shows as it is, inside the style's own frame.
class FaceButton final : public QPushButton {
public:
    FaceButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}
    const QColor& face() const { return face_; }
    void setFace(const QColor& color) {
        face_ = color;
        update();
    }

protected:
    // Enter and Return click a focused button as Space does, as on every desktop: once a press.
    // A message box is modal, so no key reaches a button while one waits for its answer.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
            QPushButton::keyPressEvent(event);
            return;
        }
        event->accept();
        if (!event->isAutoRepeat())
            click();
    }

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

// A group of option buttons is one stop of the tab order, at its selected option, as on every
// desktop: Tab then Space never selects another option by accident. Qt makes whichever option
// has the focus the group's stop; the selected one takes it back.
class OptionWidget final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    void keepTabStopAtSelected() {
        const auto group = parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        if (std::none_of(group.begin(), group.end(), [](auto* o) { return o->isChecked(); }))
            return;
        for (QRadioButton* option : group)
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }

protected:
    void focusInEvent(QFocusEvent* event) override {
        QRadioButton::focusInEvent(event);
        keepTabStopAtSelected();
    }
};

} // namespace

Windowed::Windowed(Container& container, QString name, QWidget* widget, const WindowedProps& props)
    : Control(container.form(), std::move(name)), widget_(widget), font_(fontFor(props.font)),
      at_(props.at), tabIndex_(props.tabIndex), visible_(props.visible) {
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

OptionButton::OptionButton(Container& container, QString name, const QString& caption,
                           const WindowedProps& props)
    : Windowed(container, std::move(name), new OptionWidget(caption, container.hostWidget()),
               props) {
    // Clicked, chosen with the arrow keys or selected by program alike.
    QObject::connect(radio(), &QRadioButton::toggled, radio(), [this](bool checked) {
        if (checked)
            static_cast<OptionWidget*>(radio())->keepTabStopAtSelected();
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

} // namespace ui
