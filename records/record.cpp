// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "record.h"

using namespace Qt::StringLiterals;

namespace records {

QString Record::language() const { return korean ? u"Korean"_s : u"English"_s; }

QString Record::speedSetting() const { return fast ? u"Fast"_s : u"Slow"_s; }

QString Record::listShown() const { return wordList.isEmpty() ? u"built-in"_s : wordList; }

double Record::typingSpeed() const {
    if (playedMs <= 0)
        return 0;
    return (korean ? strokes : characters) * 60000.0 / static_cast<double>(playedMs);
}

// Korean typists count keys (타수), each jamo of the 2-set layout one; English typists count
// characters.
QString Record::speedUnit() const { return korean ? u"타/분"_s : u"characters/min"_s; }

double Record::accuracy() const { return entered > 0 ? 100.0 * hits / entered : 0; }

QString Record::kind() const {
    return QStringList{language(), speedSetting(), wordList, listDigest}.join(u'\n');
}

} // namespace records
