// Every text either window can show is drawn with real glyphs, from the free face that stands in
// for the face its control asks for, or, for what that face lacks, from the table's fallbacks.
#include "support/intro_fixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

struct Shown {
    QString where;
    QString text;
    QFont font;
    QString requested; // the face the control asks for
};

// The face each requested name resolves to on a machine set up by scripts/setup.sh.
QString expectedFace(const QString& requested) {
    static const QHash<QString, QString> faces = {
        {u"굴림"_s, u"NanumGothic"_s},
        {u"궁서"_s, u"UnGungseo"_s},
        {u"하이텔울릉도제목체"_s, u"BM JUA_TTF"_s},
        {u"Comic Sans MS"_s, u"Comic Neue"_s},
        {u"Matisse ITC"_s, u"Cabin Sketch"_s},
        {u"Vineta BT"_s, u"Rampart One"_s},
    };
    return faces.value(requested, u"NanumGothic"_s);
}

QString digits() { return u"0123456789"_s; }

// Draws the text as a label or a button does and checks each glyph run: its font is the face
// or one of the fallbacks the table names, no glyph is the missing-glyph box, and every
// character other than a space is one that some run's font really has.
void verifyDrawn(const Shown& shown) {
    const QString context = shown.where + u": \""_s + shown.text + u'"';
    const QString face = QFontInfo(shown.font).family();
    QVERIFY2(face == expectedFace(shown.requested), qPrintable(context + u" in "_s + face));
    const QStringList allowed = QStringList{face} + QFont::substitutes(shown.requested);

    for (const QString& line : shown.text.split(QChar(13))) {
        QTextLayout layout(line, shown.font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        for (const QGlyphRun& run : runs) {
            const QString family = run.rawFont().familyName();
            QVERIFY2(allowed.contains(family, Qt::CaseInsensitive),
                     qPrintable(context + u" falls back to "_s + family));
            for (const quint32 glyph : run.glyphIndexes())
                QVERIFY2(glyph != 0, qPrintable(context + u" has a missing glyph in "_s + family));
        }
        for (const char32_t ch : line.toUcs4()) {
            if (ch == U' ')
                continue;
            const bool drawn = std::any_of(runs.begin(), runs.end(), [ch](const QGlyphRun& run) {
                return run.rawFont().supportsCharacter(ch);
            });
            QVERIFY2(drawn, qPrintable(context + u" lacks U+"_s + QString::number(ch, 16)));
        }
    }
}

template <class Control> Shown shownBy(const Control& control, const QString& text) {
    return {control.name(), text, control.font(), control.FontName()};
}

// The font the control's widget really draws with, once its window has been shown.
template <class Control> Shown drawnBy(const Control& control) {
    return {control.name(), control.Caption(), control.widget()->font(), control.FontName()};
}

} // namespace

class Fonts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::applyLook(); }

    void everyTextShouldBeDrawnWithRealGlyphsFromItsFace() {
        IntroFixture f;
        f.open();
        // Shown, so that the widgets draw with their own fonts.
        f.clickService();
        game::frmlumi& game = f.game;
        std::vector<Shown> shown;
        for (const auto& control : game.controls()) {
            if (const auto* label = dynamic_cast<const ui::Label*>(control.get()))
                shown.push_back(shownBy(*label, label->Caption()));
        }
        for (const ui::CommandButton* button : {game.cmdexit, game.cmdstart, game.cmdstop})
            shown.push_back(drawnBy(*button));
        for (const ui::OptionButton* option :
             {game.optkorean, game.optenglish, game.optslow, game.optfast})
            shown.push_back(drawnBy(*option));
        for (const ui::Frame* frame : {game.frajapan, game.fralevel})
            shown.push_back(drawnBy(*frame));
        for (const ui::Label* counter : {game.lblscore, game.lblbonus, game.CN})
            shown.push_back(shownBy(*counter, digits()));

        // Both word lists, on the falling labels and typed into the entry box.
        for (ui::OptionButton* language : {game.optenglish, game.optkorean}) {
            game.optkorean->setValue(language == game.optkorean);
            game.optenglish->setValue(language == game.optenglish);
            for (const QString& word : game.WordBank) {
                shown.push_back(shownBy(game.lbllumi(0), word));
                shown.push_back(shownBy(*game.txtlumi, word));
            }
        }

        intro::frmservices& intro = f.intro;
        shown.push_back(drawnBy(*intro.cmdservice));
        shown.push_back(shownBy(*intro.lblservice, intro.lblservice->Caption()));

        // The two message boxes, as the game shows them: a level clear, then a game over.
        QTest::mouseClick(game.cmdstart->button(), Qt::LeftButton);
        game.ComboCount = 79;
        game.txtlumi->setText(game.lbllumi(0).Caption());
        QTest::keyClick(game.txtlumi->widget(), Qt::Key_Return);
        game.lblbonus->setCaption(u"1"_s);
        game.lbllumi(0).setTop(4799);
        f.random.push(0.5f);
        f.clock.advance(50);
        QCOMPARE(f.boxes.shown.size(), std::size_t{2});
        for (const auto& box : f.boxes.shown) {
            const QString face = QApplication::font().family();
            shown.push_back({u"message box title"_s, box.title, QApplication::font(), face});
            shown.push_back({u"message box prompt"_s, box.prompt, QApplication::font(), face});
        }

        QVERIFY(shown.size() > 230);
        for (const Shown& one : shown)
            verifyDrawn(one);
    }

    // Rampart One has no Hangul: the syllables come from the table's Hangul fallback.
    void hangulInAFaceWithoutItShouldComeFromTheFallback() {
        const QFont vineta = ui::fontFor({u"Vineta BT"_s, 21.75});
        QVERIFY(!QRawFont::fromFont(vineta).supportsCharacter(U'콤'));
        QTextLayout layout(u"Combo 콤보"_s, vineta);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QStringList families;
        for (const QGlyphRun& run : layout.glyphRuns())
            families << run.rawFont().familyName().toLower();
        families.sort();
        QCOMPARE(families, (QStringList{u"nanumgothic"_s, u"rampart one"_s}));
    }
};

QTEST_MAIN(Fonts)
#include "tst_fonts.moc"
