// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor for anything that moves on screen: the empty baseline window, with one word-sized
// rectangle moved down by a pixel every 50 ms, repainting only its old and new place.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class Field final : public QWidget {
public:
    void step() {
        const QRect before = word_;
        word_.translate(0, 1);
        if (word_.top() > height())
            word_.moveTop(0);
        update(before.united(word_));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(word_, Qt::white);
    }

private:
    QRect word_{260, 0, 60, 13};
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Field window;
    window.setWindowTitle(QStringLiteral("baseline"));
    window.setFixedSize(583, 407);
    window.show();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &window, [&window] { window.step(); });
    tick.start(50);
    return QApplication::exec();
}
