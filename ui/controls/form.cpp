// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form.h"

#include "accessible.h"
#include "hosts.h"
#include "ui/services/picture.h"
#include "windowed.h"

#include <QCloseEvent>
#include <QShortcut>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

class WindowWidget final : public PaintedWidget {
public:
    WindowWidget(Form& form) : PaintedWidget(form, nullptr), form_(form) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        // Closing either window through its frame ends the program, as Exit does: a hidden
        // window left behind would keep a process alive with nothing on screen.
        event->accept();
        form_.dispatch([this] { form_.Form_Unload(); });
    }

private:
    Form& form_;
};

std::vector<Form*> formsWithNews;
constexpr int kNewsPace = 1000; // ms: about a short sentence of speech

} // namespace

Form::Form(Services& services, QString name) : services_(services), name_(std::move(name)) {}

// Controls go before the window (widgets die with it, and timers must stop first), the last
// made first: what a container holds goes before it, so nothing is ever left pointing at a
// control that is gone.
Form::~Form() {
    std::erase(formsWithNews, this);
    while (!controls_.empty())
        controls_.pop_back();
}

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

void Form::setCaption(const QString& caption) { window_->setWindowTitle(caption); }

void Form::setIcon(const Picture& picture) {
    Load();
    window_->setWindowIcon(picture.icon());
}

void Form::MsgBox(const QString& prompt, const QString& title) {
    whileModal([&] { services_.messages.critical(*window_, prompt, title); });
}

QString Form::chooseWordList(const QString& folder) {
    QString chosen;
    whileModal([&] { chosen = services_.wordLists.choose(*window_, folder); });
    return chosen;
}

// Nothing of the window moves while a box or a chooser is open over it.
void Form::whileModal(const std::function<void()>& open) {
    // The window under the box shows what the step has done so far.
    Container::settleAll();
    sayHeld(); // before the box, which a screen reader reads at once
    ++boxesOpen_;
    struct Close {
        int& open;
        int steps;
        ~Close() {
            --open;
            stepsRunning = steps;
        }
    } close{boxesOpen_, std::exchange(stepsRunning, 0)};
    open();
}

void Form::onShortcut(const QString& keys, std::function<void()> step) {
    auto* shortcut = new QShortcut(QKeySequence(keys), window_.get());
    QObject::connect(shortcut, &QShortcut::activated, window_.get(),
                     [this, step = std::move(step)] { dispatch(step); });
}

// News of a hidden window (a load step's captions) would tell of nothing the player can see.
void Form::tell(const QString& news, std::uint64_t madeAt) {
    if (!shown())
        return;
    if (news_.empty())
        formsWithNews.push_back(this);
    news_.emplace_back(madeAt, news);
}

void Form::announceNews() {
    for (Form* form : std::exchange(formsWithNews, {})) {
        auto news = std::exchange(form->news_, {});
        std::sort(news.begin(), news.end());
        QStringList told;
        for (const auto& item : news)
            told.push_back(item.second);
        form->say(told.join(u", "));
    }
}

void Form::say(const QString& sentence) {
    if (pacing_)
        return held_.push_back(sentence);
    services_.announcer.announce(*window_, sentence);
    if (!pacer_)
        pacer_ = services_.clock.makeTimer([this] { sayHeld(); });
    pacer_->start(kNewsPace);
    pacing_ = true;
}

// Once a second while news keeps coming, and before a message box.
void Form::sayHeld() {
    if (held_.empty()) {
        if (pacer_)
            pacer_->stop();
        pacing_ = false;
        return;
    }
    services_.announcer.announce(*window_, std::exchange(held_, {}).join(u". "));
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

Control* Form::find(const QString& name) const {
    for (const auto& control : controls_)
        if (control->name() == name)
            return control.get();
    return nullptr;
}

} // namespace ui
