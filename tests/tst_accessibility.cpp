// What a screen reader reads through Qt's accessibility interface: names and values of every
// control, the windowless labels included, and the two message boxes.
#include "support/game_fixture.h"
#include "support/intro_fixture.h"

#include <QAccessible>
#include <QMessageBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

struct Read {
    QAccessible::Role role;
    QString name;
    QString value;
    bool invisible;
};

// Every accessible object below the window, depth first, as a client walks the tree.
std::vector<Read> readAll(QAccessibleInterface* node) {
    std::vector<Read> read;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child)
            continue;
        [&] {
            QCOMPARE(child->parent(), node);
            QCOMPARE(node->indexOfChild(child), i);
        }();
        read.push_back({child->role(), child->text(QAccessible::Name),
                        child->text(QAccessible::Value), bool(child->state().invisible)});
        const std::vector<Read> below = readAll(child);
        read.insert(read.end(), below.begin(), below.end());
    }
    return read;
}

const Read* find(const std::vector<Read>& read, QAccessible::Role role, const QString& name) {
    for (const Read& r : read)
        if (r.role == role && r.name == name)
            return &r;
    return nullptr;
}

// The score and the lives, named like the caption beside them ("Score") but showing a number.
QString counter(const std::vector<Read>& read, const QString& name) {
    for (const Read& r : read)
        if (r.role == QAccessible::StaticText && r.name == name && r.value != name)
            return r.value;
    return {};
}

QAccessibleInterface* windowOf(const ui::Form& form) {
    return QAccessible::queryAccessibleInterface(form.widget());
}

} // namespace

class Accessibility : public QObject {
    Q_OBJECT
private slots:
    void gameWindowShouldTellTheWordsScoreLivesAndTypedWord() {
        GameFixture f;
        game::frmlumi& w = f.open({GameFixture::pick(1), 0, 0, 0, 0, 0});
        QAccessibleInterface* window = windowOf(w);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), u"Lumivex"_s);

        std::vector<Read> read = readAll(window);
        const Read* word = find(read, QAccessible::StaticText, u"컴퓨터"_s);
        QVERIFY(word && word->value == u"컴퓨터"_s && word->invisible);
        for (const QString& caption : {u"Start"_s, u"Stop"_s, u"Exit"_s})
            QVERIFY2(find(read, QAccessible::Button, caption), qPrintable(caption));
        for (const QString& caption : {u"한글(Korean)"_s, u"영어(English)"_s, u"Fast"_s, u"Slow"_s})
            QVERIFY2(find(read, QAccessible::RadioButton, caption), qPrintable(caption));
        for (const QString& caption : {u"자판(Keybord)"_s, u"Speed"_s})
            QVERIFY2(find(read, QAccessible::Grouping, caption), qPrintable(caption));
        for (const QString& caption : {u"Smile"_s, u"Score"_s, u"Cool~!"_s, u"Combo!"_s})
            QVERIFY2(find(read, QAccessible::StaticText, caption), qPrintable(caption));

        f.click(*w.cmdstart);
        f.type(u"컴퓨"_s);
        read = readAll(window);
        QCOMPARE(find(read, QAccessible::EditableText, u"Typed word"_s)->value, u"컴퓨"_s);
        QCOMPARE(counter(read, u"Lives"_s), u"10"_s);
        QCOMPARE(counter(read, u"Score"_s), u"0"_s);
        QVERIFY(!find(read, QAccessible::StaticText, u"컴퓨터"_s)->invisible);
        // Where a reader's magnifier looks for the word: where the word is drawn.
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            if (child->text(QAccessible::Name) != u"컴퓨터"_s)
                continue;
            const QRect drawn = w.lbllumi(0).pixelRect();
            QCOMPARE(child->rect(), QRect(w.widget()->mapToGlobal(drawn.topLeft()), drawn.size()));
        }

        // A hit: the reader reads the new score and the word dealt in its place.
        f.type(u"터"_s);
        f.random.push(GameFixture::pick(2));
        f.pressEnter();
        read = readAll(window);
        QCOMPARE(counter(read, u"Score"_s), u"1"_s);
        QCOMPARE(find(read, QAccessible::EditableText, u"Typed word"_s)->value, QString());
        QVERIFY(!find(read, QAccessible::StaticText, u"컴퓨터"_s));
        const Read* dealt = find(read, QAccessible::StaticText, u"소프트웨어"_s);
        QVERIFY(dealt && dealt->value == u"소프트웨어"_s);
    }

    void introShouldTellTheCreditsAndTheButton() {
        IntroFixture f;
        f.open();
        QAccessibleInterface* window = windowOf(f.intro);
        QCOMPARE(window->text(QAccessible::Name), u"머 릿 말 "_s);
        const std::vector<Read> read = readAll(window);
        QVERIFY(find(read, QAccessible::Button,
                     u"Your bit motion start - 당신의 비트 모션이 시작됩니다."_s));
        const auto credits = std::find_if(read.begin(), read.end(), [](const Read& r) {
            return r.role == QAccessible::StaticText && r.value.startsWith(u"<<Lumivex>>"_s);
        });
        QVERIFY(credits != read.end());
        QCOMPARE(credits->value.count(u'\n'), 16);
        QVERIFY(credits->value.endsWith(u"신의 가호가 있기를......"_s));
    }

    void messageBoxesShouldTellTheirTitleAndPrompt() {
        GameFixture f;
        ui::QtMessageBoxes boxes;
        ui::Services services{f.clock, f.random, boxes, f.program};
        f.random.push({0, 0, 0, 0, 0, 0});
        game::frmlumi w(services);
        w.Show();
        QTest::mouseClick(w.cmdstart->button(), Qt::LeftButton);

        std::vector<std::pair<QString, QString>> heard;
        const auto answerTheBox = [&] {
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                QVERIFY(qobject_cast<QMessageBox*>(box));
                QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
                heard.emplace_back(read->text(QAccessible::Name),
                                   read->text(QAccessible::Description));
                qobject_cast<QMessageBox*>(box)->accept();
            });
        };
        answerTheBox();
        w.ComboCount = 79;
        w.txtlumi->setText(w.lbllumi(0).Caption());
        f.random.push(0);
        QTest::keyClick(w.txtlumi->widget(), Qt::Key_Return);
        answerTheBox();
        w.lblbonus->setCaption(u"1"_s);
        w.lbllumi(0).setTop(4799);
        f.random.push(0.5f);
        f.clock.advance(50);

        QCOMPARE(heard.size(), std::size_t{2});
        QCOMPARE(heard[0].first, u"레벨 클리어!"_s);
        QCOMPARE(heard[0].second,
                 u"Level Cleared!! - 드디어 당신은 루미벡스에 통달했습니다!다음 레벨! -"_s);
        QCOMPARE(heard[1].first, u"Game Over!"_s);
        QCOMPARE(heard[1].second, u"관중들 : 우우우우~~"_s);
    }
};

QTEST_MAIN(Accessibility)
#include "tst_accessibility.moc"
