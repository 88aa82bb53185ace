// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "container.h"
#include "ui/services/services.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ui {

class Picture;

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
    void setCaption(const QString& caption);
    void setIcon(const Picture& picture);
    QColor BackColor() const { return back_; }

    void MsgBox(const QString& prompt, const QString& title);
    // The desktop's file chooser for a word list, modal as a message box: empty if cancelled.
    QString chooseWordList(const QString& folder);
    bool messageBoxOpen() const { return boxesOpen_ > 0; }
    // Keys such as "Ctrl+O" anywhere in the window run `step`.
    void onShortcut(const QString& keys, std::function<void()> step);

    // Something a sighted player sees happen in the window: a screen reader hears it with the
    // rest of the steps' news once they have ended, in the order the steps made it.
    void tell(const QString& news, std::uint64_t madeAt);
    static void announceNews();

    // Closing the window through its frame ends the program, as Exit does.
    virtual void Form_Unload() { services().program.end(); }

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
    void whileModal(const std::function<void()>& open);
    void say(const QString& sentence);
    void sayHeld();

    Services& services_;
    QString name_;
    std::unique_ptr<QWidget> window_;
    std::vector<std::unique_ptr<Control>> controls_;
    QColor back_;
    bool loaded_ = false;
    int boxesOpen_ = 0;
    std::vector<std::pair<std::uint64_t, QString>> news_;
    // News faster than speech (misses in a row at the fast speed) is held for up to a second
    // and told as one sentence: a screen reader that interrupts itself for each new one would
    // leave only the last heard.
    std::unique_ptr<TimerBackend> pacer_;
    bool pacing_ = false;
    QStringList held_;
};

} // namespace ui
