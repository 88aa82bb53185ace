// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rig.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

game::frmlumi& Rig::open(std::initializer_list<float> deal) {
    random.push(deal);
    w.Show();
    QApplication::processEvents(); // offscreen, the first paint and the activation come queued
    return w;
}

intro::frmservices& Rig::start() {
    random.repeatWhenEmpty(0);
    windows.open();
    return intro;
}

void Rig::tick(std::initializer_list<float> draws) {
    random.push(draws);
    clock.advance(50);
    QCOMPARE(random.pending(), std::size_t{0});
}

void Rig::miss() {
    w.lbllumi(5).setTop(4790);
    tick({0, 0, 0, 0, 0, step(10), pick(0)});
    QVERIFY(w.Poor->Visible());
}

// On the left, where a radio button takes the click too.
void Rig::click(ui::Windowed& control) {
    QTest::mouseClick(control.widget(), Qt::LeftButton, {}, QPoint(6, 6));
}

void Rig::type(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(w.txtlumi->lineEdit(), ch.toLatin1());
        else
            compose(QString(ch), QString());
    }
}

void Rig::press(Qt::Key key) { QTest::keyClick(w.txtlumi->lineEdit(), key); }

void Rig::compose(const QString& commit, const QString& preedit) {
    compose(w.txtlumi->lineEdit(), commit, preedit);
}

void Rig::compose(QWidget* box, const QString& commit, const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(box, &event);
}

void Rig::hit(int times) {
    for (int n = 0; n < times; ++n) {
        type(w.lbllumi(0).Caption());
        random.push(pick(0));
        press(Qt::Key_Return);
    }
}

QImage Rig::screen(const ui::Form& form) {
    QWidget* window = form.widget();
    const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
    return shown.scaled(window->size()).convertToFormat(QImage::Format_RGB32);
}
