// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up and the intro window: the credits roll, the blinking button and the hand-over.
#include "support/rig.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class Intro : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void startShouldShowTheIntroWhoseButtonOpensTheGame() {
        Rig r;
        intro::frmservices& intro = r.start();
        QVERIFY(intro.shown() && r.w.loaded() && !r.w.shown() && r.random.timesSeeded() == 1);
        QVERIFY(!r.w.widget()->windowIcon().isNull() && !intro.widget()->windowIcon().isNull());
        QVERIFY(intro.Caption() == u"머 릿 말 "_s && intro.widget()->size() == QSize(583, 407));
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), intro.picservice->widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), intro.cmdservice->widget());
        // The button opens the game; hidden, the intro rolls to its end and blinks on, and
        // leaves the game alone.
        r.clock.advance(5000);
        const QString word = r.w.lbllumi(0).Caption();
        const long long drawn = r.random.drawn();
        r.click(*intro.cmdservice);
        QVERIFY(r.w.shown() && !intro.shown());
        r.clock.advance(13'300);
        QCOMPARE(intro.lblservice->Top(), 360.0f);
        const std::int16_t blink = intro.BlinkState;
        r.clock.advance(500);
        QVERIFY(intro.BlinkState != blink && r.w.lbllumi(0).Caption() == word);
        QVERIFY(r.random.drawn() == drawn && !r.w.tmrlumi->Enabled());
        QVERIFY(r.program.failures.empty());
    }

    void creditsShouldRiseTwentyTwipsATickInsideTheLabelAndRest() {
        Rig r;
        intro::frmservices& intro = r.start();
        ui::Label& label = *intro.lblservice;
        const QStringList lines = label.Caption().split(QChar(13));
        QVERIFY(lines.size() == 17 && lines.first() == u"<<Lumivex>> ver1.0"_s);
        // Where the picture box shows ink, in its client pixels.
        const auto ink = [&] {
            QApplication::processEvents();
            const QImage shown = Rig::screen(intro).copy(intro.picservice->widget()->geometry());
            QRect at;
            for (int y = 2; y < shown.height() - 2; ++y)
                for (int x = 2; x < shown.width() - 2; ++x)
                    if (qGray(shown.pixel(x, y)) < 100)
                        at |= QRect(x - 2, y - 2, 1, 1);
            return at;
        };
        // Before the first tick only the first line shows, centred, at the label's place.
        QVERIFY(ink().top() >= 288 && ink().bottom() < 288 + 17);
        QVERIFY(std::abs(ink().center().x() - ui::pixels(960 + 6135 / 2.0)) <= 3);
        r.clock.advance(99);
        for (int tick = 1; tick <= 182; ++tick) {
            r.clock.advance(100);
            QCOMPARE(label.Top(), 4000.0f - 20.0f * static_cast<float>(tick));
            QCOMPARE(label.Top() + label.Height(), 3990.0f);
        }
        QCOMPARE(intro.tmrscroll->Interval(), 100); // at rest from the next tick
        r.clock.advance(100);
        QCOMPARE(intro.tmrscroll->Interval(), 0);
        r.clock.advance(60'000);
        QVERIFY(label.Top() == 360 && label.Height() == 3630);
        // The text is taller than the label: its lines are cut off at the label's bottom.
        QVERIFY(ink().top() >= 24 && ink().top() < 34 && ink().bottom() < 266 &&
                ink().bottom() > 246);
    }

    void buttonShouldBlinkLightMagentaThenLightGreenOverItsWholeFace() {
        Rig r;
        ui::CommandButton& button = *r.start().cmdservice;
        QApplication::processEvents();
        for (const QColor expected :
             {QColor(255, 0, 255), QColor(0, 255, 0), QColor(255, 0, 255)}) {
            r.clock.advance(499);
            QVERIFY(button.BackColor() != expected);
            r.clock.advance(1);
            // The face fills everything inside the style's two-pixel frame.
            const QImage face = Rig::screen(r.intro).copy(button.widget()->geometry());
            const QRect inside = face.rect().adjusted(2, 2, -3, -3);
            const QPoint mid = inside.center();
            for (const QPoint at : {inside.topLeft(), inside.bottomRight(), QPoint(mid.x(), 2)})
                QCOMPARE(face.pixelColor(at), expected);
            for (const QPoint at : {QPoint(1, mid.y()), QPoint(face.width() - 2, mid.y()),
                                    QPoint(mid.x(), 1), QPoint(mid.x(), face.height() - 2)})
                QVERIFY(face.pixelColor(at) != expected);
        }
    }
};

QTEST_MAIN(Intro)
#include "tst_intro.moc"
