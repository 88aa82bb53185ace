#include "support/game_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

// Six English words on show in a running game; no draw is scripted, so a hit (which draws a
// new word) would end the program through the error policy and fail the checks.
game::frmlumi& runningGame(GameFixture& f) {
    game::frmlumi& w = f.open();
    f.random.push({0.01f, 0.03f, 0.05f, 0.07f, 0.09f, 0.11f});
    f.click(*w.optenglish);
    f.click(*w.cmdstart);
    return w;
}

QStringList captionsOf(const game::frmlumi& w) {
    QStringList captions;
    for (int i = 0; i < game::frmlumi::kWords; ++i)
        captions << w.lbllumi(i).Caption();
    return captions;
}

// Nothing scored, nothing drawn, nothing failed: the game is as Start left it.
void verifyNoHit(const GameFixture& f, const QStringList& captions, const char* what) {
    const game::frmlumi& w = *f.window;
    if (!f.program.failures.empty())
        QFAIL(qPrintable(QStringLiteral("%1: %2").arg(what, f.program.failures.front())));
    QVERIFY2(!f.program.ended(), what);
    QVERIFY2(w.lblscore->Caption() == QStringLiteral("0"), what);
    QVERIFY2(!w.Good->Visible(), what);
    QVERIFY2(w.ComboCount == 0, what);
    QVERIFY2(captionsOf(w) == captions, what);
    QVERIFY2(f.boxes.shown.empty(), what);
}

void sendKey(QWidget* box, QEvent::Type type, Qt::Key key, const QString& text) {
    QKeyEvent event(type, key, Qt::NoModifier, text, /*autorep=*/true);
    QCoreApplication::sendEvent(box, &event);
}

} // namespace

class BadInput : public QObject {
    Q_OBJECT
private slots:
    void hugePastesShouldScoreNothingAndLeaveTheBoxEmpty_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("viaClipboard");
        QTest::newRow("1 MiB by Ctrl+V") << qsizetype{1} << true;
        QTest::newRow("16 MiB by Ctrl+V") << qsizetype{16} << true;
        QTest::newRow("16 MiB inserted") << qsizetype{16} << false;
    }

    void hugePastesShouldScoreNothingAndLeaveTheBoxEmpty() {
        QFETCH(qsizetype, size);
        QFETCH(bool, viaClipboard);
        GameFixture f;
        game::frmlumi& w = runningGame(f);
        const QStringList captions = captionsOf(w);
        QLineEdit* box = w.txtlumi->lineEdit();

        // Words on show, run together with spaces, so that the box holds nothing but near misses.
        QString text;
        text.reserve(size * 1024 * 1024);
        for (int n = 0; text.size() < size * 1024 * 1024; ++n)
            text += captions.at(n % captions.size()) + QStringLiteral("  ");
        text.truncate(size * 1024 * 1024);
        if (viaClipboard) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else {
            box->insert(text);
        }
        // Qt's line edit keeps at most 32767 characters (its default maximum length): the rest
        // of a paste never reaches the box, and the game never sees it.
        QCOMPARE(box->text().size(), qsizetype{box->maxLength()});
        w.widget()->grab();

        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(box, Qt::Key_Return);
        const qint64 ns = timer.nsecsElapsed();
        qInfo("Enter on a box of %lld characters took %.1f us",
              static_cast<long long>(box->maxLength()), static_cast<double>(ns) / 1000.0);
        QCOMPARE(box->text(), QString());
        verifyNoHit(f, captions, QTest::currentDataTag());
    }

    void strangeCharactersShouldScoreNothingAndNeverBreakTheBox() {
        GameFixture f;
        game::frmlumi& w = runningGame(f);
        const QStringList captions = captionsOf(w);
        QLineEdit* box = w.txtlumi->lineEdit();
        const QString shown = captions.front();

        QString controls;
        for (char16_t c = 1; c < 0x20; ++c)
            if (c != 13) // carriage return is Enter, tried below
                controls += QChar(c);
        controls += QChar(0x7f);
        controls += QChar(0x85);
        const struct {
            const char* what;
            QString text;
        } cases[] = {
            {"control characters", controls + shown},
            {"control characters around a word",
             QStringLiteral("\t") + shown + QStringLiteral("\n")},
            {"a lone high surrogate", QString(QChar(0xD800)) + shown},
            {"a lone low surrogate", shown + QChar(0xDFFF)},
            {"a surrogate pair the wrong way round", QString(QChar(0xDE00)) + QChar(0xD83D)},
            {"emoji", QStringLiteral("😀👩‍👩‍👧🇰🇷")},
            {"emoji after a word", shown + QStringLiteral("😀")},
            {"Hebrew", QStringLiteral("שלום")},
            {"Arabic", QStringLiteral("مرحبا بالعالم")},
            {"a right-to-left override before a word", QChar(0x202E) + shown},
            {"a right-to-left mark after a word", shown + QChar(0x200F)},
            {"a zero-width space before a word", QChar(0x200B) + shown},
            {"a no-break space after a word", shown + QChar(0x00A0)},
            {"full-width letters", QStringLiteral("ｓｏｆｔｗａｒｅ")},
            // Equal means code for code: decomposed jamo are not the syllables they look like.
            {"decomposed Hangul", QStringLiteral("한글").normalized(QString::NormalizationForm_D)},
            {"a private-use and a noncharacter", QString(QChar(0xE000)) + QChar(0xFFFF)},
        };

        for (const auto& bad : cases) {
            // Typed as keys, one character each, as an input method or a keyboard would send
            // them; the box drops what it cannot show, so a word typed here would still count.
            QString typed = bad.text;
            typed.replace(shown, QStringLiteral("nothing"));
            for (const QChar ch : typed)
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
            for (const QChar ch : box->text())
                QVERIFY2(ch.category() != QChar::Other_Control, bad.what);
            w.widget()->grab();
            f.pressSpace();
            QVERIFY2(box->text() == QStringLiteral(" "), bad.what);
            // Inserted whole, as a paste would.
            box->insert(bad.text);
            w.widget()->grab();
            f.pressEnter();
            QVERIFY2(box->text().isEmpty(), bad.what);
            verifyNoHit(f, captions, bad.what);
        }
        // A carriage return is Enter by its code, whatever key brought it.
        f.type(QStringLiteral("nothing"));
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("\r"),
                            Qt::NoModifier);
        QVERIFY(box->text().isEmpty());
        verifyNoHit(f, captions, "carriage return");
    }

    void autoRepeatedEnterAndSpaceShouldScoreNothingAndStayFast() {
        GameFixture f;
        game::frmlumi& w = runningGame(f);
        const QStringList captions = captionsOf(w);
        QLineEdit* box = w.txtlumi->lineEdit();
        constexpr int kRepeats = 10'000;

        const struct {
            Qt::Key key;
            QString text;
            QString left;
        } held[] = {{Qt::Key_Space, QStringLiteral(" "), QStringLiteral(" ")},
                    {Qt::Key_Return, QStringLiteral("\r"), QString()}};
        for (const auto& hold : held) {
            f.type(QStringLiteral("softwar"));
            QElapsedTimer timer;
            timer.start();
            for (int n = 0; n < kRepeats; ++n) {
                sendKey(box, QEvent::KeyPress, hold.key, hold.text);
                sendKey(box, QEvent::KeyRelease, hold.key, hold.text);
            }
            const qint64 ns = timer.nsecsElapsed();
            qInfo("%d auto-repeated %s keys: %.2f us a key", kRepeats,
                  hold.key == Qt::Key_Space ? "Space" : "Enter",
                  static_cast<double>(ns) / 1000.0 / kRepeats);
            QCOMPARE(box->text(), hold.left);
            verifyNoHit(f, captions, "held key");
        }
    }
};

QTEST_MAIN(BadInput)
#include "tst_bad_input.moc"
