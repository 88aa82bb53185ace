// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textbox.h"

#include "form.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleHints>

#include <utility>

namespace ui {

namespace {

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

} // namespace ui
