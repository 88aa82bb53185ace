// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game window as the player first sees it: every control in stored order, which is also
// the order in which the windowless ones are painted (the last on top).
#include "frmlumi.h"

#include "ui/services/errors.h"

#include <algorithm>

namespace game {

namespace {

using ui::Alignment;
using ui::FontProps;
using ui::Geometry;
using ui::LabelProps;
using ui::WindowedProps;

const QColor kLightGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kMagenta(255, 0, 255);

const QString kGulim = QStringLiteral("굴림");
const QString kGungseo = QStringLiteral("궁서");
const QString kMatisse = QStringLiteral("Matisse ITC");
const FontProps kButtonFont{kMatisse, 14.25, true};

// A sign over the play field: hidden and transparent until a step shows it.
LabelProps sign(const QString& caption, Geometry at, const QColor& color, FontProps font) {
    LabelProps props;
    props.caption = caption;
    props.at = at;
    props.foreColor = color;
    props.font = std::move(font);
    props.backStyle = 0;
    props.visible = false;
    return props;
}

// The black display boxes of the control strip.
LabelProps display(const QString& caption, Geometry at, const QColor& color, double points) {
    LabelProps props;
    props.caption = caption;
    props.at = at;
    props.foreColor = color;
    props.backColor = kBlack;
    props.font = FontProps{kGulim, points, true};
    props.borderStyle = 1;
    return props;
}

struct WordColumn {
    int index;
    float left;
    float top;
    int backStyle;
};

// The word labels stored last, in their stored order (lbllumi(4) comes earlier, alone).
constexpr std::array<WordColumn, 5> kLastWords = {{
    {5, 690, 0, 0},
    {3, 5130, 480, 1},
    {2, 6690, 0, 1},
    {1, 2250, 480, 0},
    {0, 3690, 0, 1},
}};

// What the falling words are written in: the default face and size.
const FontProps kWordFont{};
// The rightmost column leaves a word the least room before the window's edge.
constexpr float kFieldWidth = 9855;
constexpr float kRightmostColumn = 8130;
constexpr float kNarrowestRoom = kFieldWidth - kRightmostColumn;

LabelProps word(const WordColumn& column) {
    LabelProps props;
    props.font = kWordFont;
    props.at = Geometry{column.left, column.top, 75, 180};
    props.backStyle = column.backStyle;
    props.alignment = Alignment::Center;
    props.autoSize = true;
    return props;
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

void frmlumi::build() {
    setWindow(title(), static_cast<int>(kFieldWidth), 6450, kLightGrey);

    Timer3 = &add<ui::Timer>(*this, QStringLiteral("Timer3"), 1000, true);
    Timer2 = &add<ui::Timer>(*this, QStringLiteral("Timer2"), 1000, false);
    Timer1 = &add<ui::Timer>(*this, QStringLiteral("Timer1"), 1000, true);

    frajapan = &add<ui::Frame>(*this, QStringLiteral("frajapan"), QStringLiteral("자판(Keybord)"),
                               WindowedProps{{7080, 5280, 1692, 972}, {}, 13});
    optenglish = &add<ui::OptionButton>(*frajapan, QStringLiteral("optenglish"),
                                        QStringLiteral("영어(English)"),
                                        WindowedProps{{120, 600, 1455, 252}, {}, 15});
    optkorean = &add<ui::OptionButton>(*frajapan, QStringLiteral("optkorean"),
                                       QStringLiteral("한글(Korean)"),
                                       WindowedProps{{120, 240, 1452, 252}, {}, 14});
    cmdexit = &add<ui::CommandButton>(*this, QStringLiteral("cmdexit"), QStringLiteral("Exit"),
                                      WindowedProps{{1440, 5760, 1575, 495}, kButtonFont, 12});
    fralevel = &add<ui::Frame>(*this, QStringLiteral("fralevel"), QStringLiteral("Speed"),
                               WindowedProps{{120, 5280, 1215, 972}, kButtonFont, 9});
    optslow = &add<ui::OptionButton>(*fralevel, QStringLiteral("optslow"), QStringLiteral("Slow"),
                                     WindowedProps{{120, 600, 855, 252}, {}, 11});
    optfast = &add<ui::OptionButton>(*fralevel, QStringLiteral("optfast"), QStringLiteral("Fast"),
                                     WindowedProps{{120, 360, 855, 180}, {}, 10});
    cmdstop = &add<ui::CommandButton>(*this, QStringLiteral("cmdstop"), QStringLiteral("Stop"),
                                      WindowedProps{{4920, 5760, 1935, 495}, kButtonFont, 8});
    cmdstart = &add<ui::CommandButton>(*this, QStringLiteral("cmdstart"), QStringLiteral("Start"),
                                       WindowedProps{{3120, 5880, 1692, 372}, kButtonFont, 7});
    txtlumi = &add<ui::TextBox>(*this, QStringLiteral("txtlumi"),
                                WindowedProps{{3120, 5400, 1692, 390}, {kGulim, 13.5, true}, 6});
    tmrlumi = &add<ui::Timer>(*this, QStringLiteral("tmrlumi"), 50, true);
    Picture1 = &add<ui::PictureBox>(*this, QStringLiteral("Picture1"),
                                    WindowedProps{{0, 4680, 9855, 495}, {}, 16});

    Line4 = &add<ui::Line>(*this, QStringLiteral("Line4"), 8760, 3840, 9120, 3360);
    Line3 = &add<ui::Line>(*this, QStringLiteral("Line3"), 9840, 3240, 9120, 3360);
    Line2 = &add<ui::Line>(*this, QStringLiteral("Line2"), 8760, 3840, 7320, 4080);
    Line1 = &add<ui::Line>(*this, QStringLiteral("Line1"), 7080, 4680, 7320, 4080);

    Super = &add<ui::Label>(*this, QStringLiteral("Super"),
                            sign(QStringLiteral("Super Combo!"), {1320, 2160, 6135, 1575}, kMagenta,
                                 {QStringLiteral("하이텔울릉도제목체"), 48}));
    Good = &add<ui::Label>(*this, QStringLiteral("Good"),
                           sign(QStringLiteral("Cool~!"), {3120, 2400, 2775, 855}, kBlue,
                                {QStringLiteral("Comic Sans MS"), 36}));
    Poor = &add<ui::Label>(
        *this, QStringLiteral("Poor"),
        sign(QStringLiteral("Poor~"), {3120, 2520, 2535, 735}, kRed, {kGungseo, 36}));
    CT = &add<ui::Label>(*this, QStringLiteral("CT"),
                         sign(QStringLiteral("Combo!"), {3720, 3600, 2535, 615}, kYellow,
                              {QStringLiteral("Vineta BT"), 21.75}));
    CN = &add<ui::Label>(
        *this, QStringLiteral("CN"),
        sign(QStringLiteral("00"), {3120, 3480, 735, 735}, kRed, {kMatisse, 27.75}));
    Label3 = &add<ui::Label>(*this, QStringLiteral("Label3"),
                             display(QStringLiteral("Score"), {4920, 5400, 855, 255}, kRed, 9.75));
    Label1 = &add<ui::Label>(*this, QStringLiteral("Label1"),
                             display(QStringLiteral("Smile"), {1440, 5400, 735, 255}, kRed, 9.75));
    lblbonus = &add<ui::Label>(*this, QStringLiteral("lblbonus"),
                               display(QStringLiteral("0"), {2160, 5400, 855, 255}, kGreen, 11.25));
    lbllumi_[4] =
        &add<ui::Label>(*this, indexed("lbllumi", 4), word({4, kRightmostColumn, 480, 1}));

    // The life meter rises like a level gauge: markers 6 to 9 each 120 twips taller.
    for (int i = kMarkers - 1; i >= 0; --i) {
        const float height = 495.0f + 120.0f * static_cast<float>(std::max(0, i - 5));
        ui::ShapeProps props;
        props.at =
            Geometry{7440.0f + 240.0f * static_cast<float>(i), 4695.0f - height, 135, height};
        props.backColor = i < 5 ? kGreen : kRed;
        props.backStyle = 1;
        props.borderStyle = 0;
        Shplumi_[static_cast<std::size_t>(i)] =
            &add<ui::Shape>(*this, indexed("Shplumi", i), props);
    }

    lblscore =
        &add<ui::Label>(*this, QStringLiteral("lblscore"),
                        display(QStringLiteral("0"), {5760, 5400, 1095, 255}, kGreen, 11.25));
    for (const WordColumn& column : kLastWords)
        lbllumi_[static_cast<std::size_t>(column.index)] =
            &add<ui::Label>(*this, indexed("lbllumi", column.index), word(column));

    // What a screen reader calls the controls whose captions are only numbers, or none.
    lblscore->setAccessibleName(QStringLiteral("Score"));
    lblbonus->setAccessibleName(QStringLiteral("Lives"));
    CN->setAccessibleName(QStringLiteral("Combo"));
    txtlumi->setAccessibleName(QStringLiteral("Typed word"));
    Picture1->setAccessibleName(QStringLiteral("Ground"));
    for (ui::Label* word : lbllumi_)
        word->setFalling(true);
    connectSteps();
}

void frmlumi::connectSteps() {
    Timer3->onTimer([this] { Timer3_Timer(); });
    Timer2->onTimer([this] { Timer2_Timer(); });
    Timer1->onTimer([this] { Timer1_Timer(); });
    tmrlumi->onTimer([this] { tmrlumi_Timer(); });
    optenglish->onClick([this] { optenglish_Click(); });
    optkorean->onClick([this] { optkorean_Click(); });
    optslow->onClick([this] { optslow_Click(); });
    optfast->onClick([this] { optfast_Click(); });
    cmdexit->onClick([this] { cmdexit_Click(); });
    cmdstop->onClick([this] { cmdstop_Click(); });
    cmdstart->onClick([this] { cmdstart_Click(); });
    txtlumi->onKeyPress([this](int& key) { txtlumi_KeyPress(key); });
    onShortcut(QStringLiteral("Ctrl+O"), [this] { Form_OpenWordList(); });
    onShortcut(QStringLiteral("Ctrl+Shift+O"), [this] { Form_BuiltInWords(); });
    onShortcut(QStringLiteral("Ctrl+R"), [this] { Form_Records(); });
}

words::TooWide frmlumi::fieldFit() {
    return [overflow = ui::Label::widerThan(kNarrowestRoom, kWordFont)](
               const QString& word) -> std::optional<QString> {
        // No longer word fits; laying out a megabyte would take a while.
        constexpr qsizetype kLongest = 200;
        const std::optional<double> width = word.size() > kLongest ? std::nullopt : overflow(word);
        if (word.size() <= kLongest && !width)
            return std::nullopt;
        const QString why =
            width
                ? QStringLiteral("is too wide for the play field: %1 pixels")
                      .arg(ui::pixels(*width))
                : QStringLiteral("is too long for the play field: %1 characters").arg(word.size());
        return why + QStringLiteral(", where a falling word has room for %1 pixels at the game's "
                                    "font")
                         .arg(ui::pixels(kNarrowestRoom));
    };
}

ui::Label& frmlumi::lbllumi(int index) const {
    if (index < 0 || index >= kWords)
        throw ui::IndexError(QStringLiteral("lbllumi"), index);
    return *lbllumi_[static_cast<std::size_t>(index)];
}

ui::Shape& frmlumi::Shplumi(int index) const {
    if (index < 0 || index >= kMarkers)
        throw ui::IndexError(QStringLiteral("Shplumi"), index);
    return *Shplumi_[static_cast<std::size_t>(index)];
}

} // namespace game
