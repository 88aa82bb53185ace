// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "announcer.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace ui {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
QObject* newsOf(const QWidget&) { return nullptr; }
#else
namespace {

// Qt before 6.8 has no announcement: a window's news is a notification of its own, which
// screen readers speak when it shows, wherever the focus is. Its state always says it is not
// showing, so that a review of the window never meets it.
class News final : public QObject {
public:
    explicit News(QWidget& window) : QObject(&window) { setObjectName(kName); }
    static News* of(const QWidget& window) {
        return dynamic_cast<News*>(window.findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
    }
    QString text;

private:
    static constexpr QLatin1StringView kName{"lumivex-news"};
};

class NewsAccessible final : public QAccessibleObject {
public:
    explicit NewsAccessible(News& news) : QAccessibleObject(&news), news_(news) {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(news_.parent());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? news_.text : QString();
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }

private:
    News& news_;
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    auto* news = dynamic_cast<News*>(object);
    return news ? new NewsAccessible(*news) : nullptr;
}

} // namespace

QObject* newsOf(const QWidget& window) { return window.isWindow() ? News::of(window) : nullptr; }
#endif

void QtAnnouncer::announce(QWidget& window, const QString& news) {
    if (!QAccessible::isActive())
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(&window, news);
    QAccessible::updateAccessibility(&event);
#else
    static const bool installed = (QAccessible::installFactory(&accessibleFor), true);
    Q_UNUSED(installed);
    // The last news hides only now. A screen reader that falls behind keeps only the latest
    // of an object's queued show and hide events: were that a hide, it would say nothing.
    News* notice = News::of(window);
    if (!notice) {
        notice = new News(window);
    } else {
        QAccessibleEvent hidden(notice, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&hidden);
    }
    notice->text = news;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#endif
}

} // namespace ui
