// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "csv.h"

#include "store.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace records {

namespace {

// A spreadsheet would run a cell that begins like a formula; a word list may be named so.
QString text(QString field) {
    if (!field.isEmpty() && QStringView(u"=+-@\t\r").contains(field.front()))
        field.prepend(u'\'');
    if (field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
        field.contains(u'\r'))
        field = u'"' + field.replace(u"\""_s, u"\"\""_s) + u'"';
    return field;
}

QString number(double value, int decimals) { return QString::number(value, 'f', decimals); }

} // namespace

QByteArray toCsv(const std::vector<Record>& games) {
    QStringList lines{
        u"played_at,language,speed_setting,word_list,list_digest,seconds_played,score,"
        u"words_entered,words_hit,accuracy_percent,lives_lost,highest_combo,combo_bonuses,"
        u"level_clears,characters_hit,keystrokes_hit,typing_speed,typing_speed_unit"_s};
    for (const Record& r : games) {
        lines << QStringList{r.when.toUTC().toString(Qt::ISODate),
                             r.language(),
                             r.speedSetting(),
                             text(r.wordList),
                             text(r.listDigest),
                             number(static_cast<double>(r.playedMs) / 1000.0, 1),
                             QString::number(r.score, 'g', 15),
                             QString::number(r.entered),
                             QString::number(r.hits),
                             number(r.accuracy(), 1),
                             QString::number(r.livesLost),
                             QString::number(r.bestCombo),
                             QString::number(r.comboBonuses),
                             QString::number(r.levelClears),
                             QString::number(r.characters),
                             QString::number(r.strokes),
                             number(r.typingSpeed(), 1),
                             r.speedUnit()}
                     .join(u',');
    }
    return lines.join(u"\r\n"_s).append(u"\r\n"_s).toUtf8();
}

int exportCsv(std::FILE* out, std::FILE* err) {
    Store store(Store::defaultPath());
    store.openForReading();
    const std::vector<Record> games = store.all();
    if (!store.canRead() || !store.problem().isEmpty()) {
        std::fprintf(err, "lumivex: the records cannot be exported: %s\n",
                     store.problem().toLocal8Bit().constData());
        return 1;
    }
    const QByteArray csv = toCsv(games);
    if (std::fwrite(csv.constData(), 1, static_cast<std::size_t>(csv.size()), out) !=
            static_cast<std::size_t>(csv.size()) ||
        std::fflush(out) != 0) {
        std::fprintf(err, "lumivex: the records could not be written out\n");
        return 1;
    }
    return 0;
}

} // namespace records
