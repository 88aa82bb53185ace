// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The binding under the windows: timers, window arithmetic, the random source, the text cursor,
// and what a screen reader reads.
#include "support/rig.h"

#include "ui/errors.h"
#include "ui/numbers.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class Binding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void messageBoxShouldBeReadByAScreenReaderAndAnswered() {
        Rig r;
        r.open();
        QStringList heard;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
            heard << read->text(QAccessible::Name) << read->text(QAccessible::Description);
            box->accept();
        });
        ui::QtMessageBoxes().critical(r.w, u"Prompt"_s, u"Title"_s);
        QCOMPARE(heard, QStringList({"Title", "Prompt"}));
    }

    void systemRandomShouldSpreadEvenlyBelowOne() {
        ui::SystemRandom random;
        random.seedFromClock();
        std::array<int, 50> counts{};
        for (int n = 0; n < 50'000; ++n) {
            const float r = random.next();
            QVERIFY(r >= 0 && r < 1);
            ++counts[static_cast<std::size_t>(r * 50)];
        }
        // 1000 expected each, with a standard deviation near 31.
        for (const int count : counts)
            QVERIFY(count > 850 && count < 1150);
    }

    void textCursorShouldRestTenSecondsAfterTheLastKey() {
        QStyleHints* hints = QGuiApplication::styleHints();
        hints->setCursorFlashTime(1000);
        Rig r;
        game::frmlumi& w = r.open();
        r.type(u"ab"_s);
        r.clock.advance(ui::TextBox::kCaretRestMs - 1);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        r.clock.advance(1);
        QCOMPARE(hints->cursorFlashTime(), 0);
        r.clock.advance(60'000);
        QCOMPARE(hints->cursorFlashTime(), 0);
        r.compose(QString(), u"가"_s);
        QCOMPARE(hints->cursorFlashTime(), 1000);
        QCOMPARE(w.txtlumi->lineEdit()->text(), u"ab"_s);
    }

    void screenReaderShouldReadEveryControlAndWhereTheWordsAre() {
        Rig r;
        game::frmlumi& w = r.open({Rig::pick(1), 0, 0, 0, 0, 0});
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.widget());
        QHash<QString, QAccessibleInterface*> read;
        for (int i = 0; i < window->childCount(); ++i) {
            read.insert(window->child(i)->text(QAccessible::Name), window->child(i));
            QVERIFY(window->child(i)->parent() == window &&
                    window->indexOfChild(window->child(i)) == i);
        }
        for (const QString& name : {u"Start"_s, u"자판(Keybord)"_s, u"Smile"_s, u"Typed word"_s})
            QVERIFY2(read.contains(name), qPrintable(name));
        QAccessibleInterface* word = read.value(u"컴퓨터"_s);
        QVERIFY(word->state().invisible && word->role() == QAccessible::StaticText);
        r.click(*w.cmdstart);
        const QRect drawn = w.lbllumi(0).pixelRect();
        QCOMPARE(word->rect(), QRect(w.widget()->mapToGlobal(drawn.topLeft()), drawn.size()));
        QVERIFY(!word->state().invisible &&
                read.value(u"Lives"_s)->text(QAccessible::Value) == u"10"_s);
    }
};

QTEST_MAIN(Binding)
#include "tst_binding.moc"
