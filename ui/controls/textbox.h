// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "windowed.h"

#include "ui/services/services.h"

#include <functional>
#include <memory>

class QLineEdit;

namespace ui {

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

} // namespace ui
