#include "game_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

GameFixture::GameFixture() = default;
GameFixture::~GameFixture() { window.reset(); }

game::frmlumi& GameFixture::open(std::initializer_list<float> dealDraws) {
    random.push(dealDraws);
    window = std::make_unique<game::frmlumi>(services);
    window->Show();
    return *window;
}

void GameFixture::click(ui::CommandButton& button) {
    QTest::mouseClick(button.button(), Qt::LeftButton);
}

void GameFixture::click(ui::OptionButton& option) {
    QRadioButton* radio = option.radio();
    // A radio button takes the click on its indicator or its text.
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

void GameFixture::type(const QString& text) {
    QWidget* box = window->txtlumi->lineEdit();
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(box, ch.toLatin1());
        else // a character no key of the test keyboard has, as an input method would deliver it
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void GameFixture::pressEnter() { QTest::keyClick(window->txtlumi->lineEdit(), Qt::Key_Return); }

void GameFixture::pressSpace() { QTest::keyClick(window->txtlumi->lineEdit(), Qt::Key_Space); }

QString GameFixture::entryText() const { return window->txtlumi->Text(); }
