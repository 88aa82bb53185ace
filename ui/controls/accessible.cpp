// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessible.h"

#include "windowless.h"

#include "ui/services/announcer.h"

#include <QAccessibleWidget>
#include <QWidget>

#include <map>

namespace ui {

namespace {

// Labels a screen reader has been shown, so that their changes can be announced.
std::map<const Windowless*, QAccessible::Id>& knownLabels() {
    static std::map<const Windowless*, QAccessible::Id> known;
    return known;
}

// A windowless label: its name says what it is, its text what it shows, as with a label
// widget. The counters' names are fixed ("Score"), so their number is only in the text.
class LabelAccessible final : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    LabelAccessible(const Label& label, const Container& container)
        : label_(label), container_(container) {}

    bool isValid() const override { return container_.hostWidget() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return host()->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(host());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : nullptr;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return label_.accessibleName();
        case QAccessible::Value:
            return label_.accessibleText();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const QRect at = label_.pixelRect().translated(container_.clientOrigin());
        return QRect(host()->mapToGlobal(at.topLeft()), at.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !label_.Visible();
        return state;
    }

    // Text: the caption, read only, with no caret or selection to tell.
    QString text(int start, int end) const override {
        return label_.accessibleText().mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(label_.accessibleText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    // Where each character is drawn: a reviewing screen reader reads what lies on screen.
    QRect characterRect(int offset) const override {
        const QRect at = label_.characterRect(offset).translated(container_.clientOrigin());
        return at.isEmpty() ? QRect() : QRect(host()->mapToGlobal(at.topLeft()), at.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QWidget* host() const { return container_.hostWidget(); }

    const Label& label_;
    const Container& container_;
};

// A window or picture box: its widgets as usual, then its labels in stored order. The labels
// are looked up afresh at every question: Qt may ask while the window is still being built, and
// the container may be gone before its widget.
class ContainerAccessible final : public QAccessibleWidget {
public:
    explicit ContainerAccessible(QWidget* widget)
        : QAccessibleWidget(widget, widget->isWindow() ? QAccessible::Window : QAccessible::Pane) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(labels().size()) +
               (newsOf(*widget()) ? 1 : 0);
    }

    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        const std::vector<const Label*> all = labels();
        const auto at = static_cast<std::size_t>(index - widgets);
        if (at >= all.size())
            return at == all.size() && newsOf(*widget())
                       ? QAccessible::queryAccessibleInterface(newsOf(*widget()))
                       : nullptr;
        const Label* label = all[at];
        auto known = knownLabels().find(label);
        if (known == knownLabels().end()) {
            const QAccessible::Id id = QAccessible::registerAccessibleInterface(
                new LabelAccessible(*label, *containerHostedBy(widget())));
            known = knownLabels().emplace(label, id).first;
        }
        return QAccessible::accessibleInterface(known->second);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<const Label*> all = labels();
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto known = knownLabels().find(all[i]);
            if (known != knownLabels().end() &&
                QAccessible::accessibleInterface(known->second) == child)
                return QAccessibleWidget::childCount() + static_cast<int>(i);
        }
        if (child && child->object() && child->object() == newsOf(*widget()))
            return QAccessibleWidget::childCount() + static_cast<int>(all.size());
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    std::vector<const Label*> labels() const {
        std::vector<const Label*> found;
        if (const Container* container = containerHostedBy(widget()))
            for (const Windowless* control : container->windowless())
                if (const auto* label = dynamic_cast<const Label*>(control))
                    found.push_back(label);
        return found;
    }
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && containerHostedBy(widget) ? new ContainerAccessible(widget) : nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = (QAccessible::installFactory(&accessibleFor), true);
    Q_UNUSED(installed);
}

void forgetAccessible(const Windowless& control) {
    const auto known = knownLabels().find(&control);
    if (known == knownLabels().end())
        return;
    const QAccessible::Id id = known->second;
    knownLabels().erase(known);
    QAccessible::deleteAccessibleInterface(id);
}

// Only labels a screen reader has been shown: for the others it has nothing to update.
static QAccessibleInterface* known(const Windowless& control) {
    if (!QAccessible::isActive())
        return nullptr;
    const auto found = knownLabels().find(&control);
    return found == knownLabels().end() ? nullptr : QAccessible::accessibleInterface(found->second);
}

void announceShown(const Windowless& control, bool shown) {
    if (QAccessibleInterface* label = known(control)) {
        QAccessibleEvent event(label, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&event);
    }
}

void announceCaption(const Label& control, const QString& before, bool nameChanged) {
    QAccessibleInterface* label = known(control);
    if (!label)
        return;
    if (nameChanged) {
        QAccessibleEvent event(label, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(label, 0, before, control.accessibleText());
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace ui
