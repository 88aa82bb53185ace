// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <utility>

namespace ui {

class Form;

// Anything a window's layout makes: it has a name and belongs to one window.
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

} // namespace ui
