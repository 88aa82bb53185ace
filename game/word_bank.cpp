// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two word lists, the language options and the random word pick, and the player's own
// lists that may stand in for either.
#include "frmlumi.h"

#include "ui/services/errors.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace game {

namespace {

// Index 21 keeps its leading space, and 한글 stands twice (6 and 12): both as the game has
// always had them.
constexpr std::array<const char16_t*, 50> kKorean = {
    u"호츨기", u"컴퓨터",   u"소프트웨어", u"이름",         u"기사",       u"정보처리산업기사",
    u"한글",   u"통신",     u"지하철",     u"패러다임",     u"정보화시대", u"난수",
    u"한글",   u"오전",     u"변환",       u"스크린세이버", u"방법",       u"비주얼베이직",
    u"빨강",   u"사랑",     u"버튼",       u" 경우",        u"수동적",     u"레이블",
    u"연산자", u"도구상자", u"우정",       u"오리지날",     u"장단점",     u"대부분",
    u"코드",   u"거래분석", u"색상처리",   u"공통",         u"대화상자",   u"글꼴",
    u"레포트", u"문서",     u"선언문",     u"시계",         u"준비",       u"어셈블리",
    u"제목",   u"활성화",   u"윈도우",     u"계산기",       u"보강",       u"구조",
    u"시작",   u"음악",
};

constexpr std::array<const char16_t*, 50> kEnglish = {
    u"pager",     u"computer",      u"software", u"name",        u"hong",      u"oung",
    u"korean",    u"communication", u"subway",   u"paradigm",    u"gloval",    u"random",
    u"faceoff",   u"kingdom",       u"change",   u"screensaver", u"kill",      u"visualbasic",
    u"red",       u"love",          u"blue",     u"sorry",       u"passive",   u"label",
    u"operation", u"toolbox",       u"frend",    u"original",    u"myway",     u"general",
    u"code",      u"fine",          u"color",    u"msgbox",      u"dialogbox", u"font",
    u"report",    u"document",      u"declear",  u"timer",       u"repeat",    u"assembly",
    u"title",     u"active",        u"window",   u"conversion",  u"doking",    u"structure",
    u"start",     u"music",
};

} // namespace

void frmlumi::optenglish_Click() {
    tmrlumi->setEnabled(false);
    endTally();
    cmdstart->setEnabled(true);
    fillWordBank(kEnglish, ownWords_.english);
    dealHiddenWords();
}

void frmlumi::optkorean_Click() {
    tmrlumi->setEnabled(false);
    endTally();
    cmdstart->setEnabled(true);
    fillWordBank(kKorean, ownWords_.korean);
    dealHiddenWords();
}

// A list's words of the language, in the list's order; where it has none, the built-in ones.
void frmlumi::fillWordBank(const std::array<const char16_t*, 50>& builtIn, const QStringList& own) {
    if (!own.isEmpty())
        return WordBank.assign(own.begin(), own.end());
    WordBank.resize(builtIn.size());
    for (std::size_t k = 0; k < WordBank.size(); ++k)
        WordBank[k] = QString::fromUtf16(builtIn[k]);
}

void frmlumi::dealHiddenWords() {
    for (int i = 0; i < kWords; ++i) {
        lbllumi(i).setVisible(false);
        lbllumi(i).setCaption(randomWord());
    }
}

QString frmlumi::randomWord() {
    const float r = services().random.next();
    // In double: the product of a float just below 1 and the size must not round up to it.
    const auto index =
        static_cast<long long>(static_cast<double>(r) * static_cast<double>(WordBank.size()));
    if (index < 0 || index >= static_cast<long long>(WordBank.size()))
        throw ui::IndexError(QStringLiteral("WordBank"), index);
    return WordBank[static_cast<std::size_t>(index)];
}

void frmlumi::useWords(words::WordList list) {
    ownWords_ = std::move(list);
    if (!loaded())
        return;
    setCaption(title());
    optkorean->Value() ? optkorean_Click() : optenglish_Click();
}

QString frmlumi::title() const {
    const QString name = QStringLiteral("Lumivex");
    return ownWords_.path.isEmpty() ? name : name + u" — "_s + ownWords_.name();
}

// Between games only, as a change of language: a list that cannot be played leaves the words
// in use as they are.
void frmlumi::Form_OpenWordList() {
    if (!cmdstart->Enabled())
        return;
    const QString folder =
        ownWords_.path.isEmpty() ? QDir::homePath() : QFileInfo(ownWords_.path).absolutePath();
    const QString path = chooseWordList(folder);
    if (path.isEmpty())
        return;
    try {
        useWords(words::read(path, fieldFit()));
    } catch (const words::BadWordList& bad) {
        MsgBox(bad.message() + u"\n\nThe words in use stay in use."_s, title());
        return;
    }
    services().wordLists.remember(QFileInfo(path).absoluteFilePath());
}

void frmlumi::Form_BuiltInWords() {
    if (!cmdstart->Enabled() || ownWords_.path.isEmpty())
        return;
    useWords({});
    services().wordLists.remember({});
}

} // namespace game
