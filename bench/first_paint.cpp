// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Linked into a program beside its own sources: notes when the first window has been painted
// and put on the screen, writes that moment (CLOCK_MONOTONIC, ns) to $LUMIVEX_PROBE_OUT, and
// ends the program.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Qt paints a window and flushes it to the screen while it handles an expose or an update
// request; the filter lets the window handle it, then looks whether a window was painted.
class FirstPaint final : public QObject {
public:
    FirstPaint(long long appReady, QObject* parent) : QObject(parent), appReady_(appReady) {}

    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
            if (auto* widget = qobject_cast<QWidget*>(receiver); widget && widget->isWindow())
                painted_ = true;
            return false;
        case QEvent::Expose:
        case QEvent::UpdateRequest:
            break;
        default:
            return false;
        }
        if (handling_)
            return false;
        handling_ = true;
        painted_ = false;
        receiver->event(event);
        handling_ = false;
        if (painted_)
            report(monotonicNs());
        return true;
    }

private:
    void report(long long paintedAt) {
        QCoreApplication::instance()->removeEventFilter(this);
        if (const char* path = std::getenv("LUMIVEX_PROBE_OUT")) {
            if (std::FILE* out = std::fopen(path, "w")) {
                std::fprintf(out, "app-ready %lld\nfirst-paint %lld\n", appReady_, paintedAt);
                std::fclose(out);
            }
        }
        // Queued: the first paint may come before the event loop runs.
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }

    long long appReady_;
    bool handling_ = false;
    bool painted_ = false;
};

void installProbe() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new FirstPaint(monotonicNs(), application));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
