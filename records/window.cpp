// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window.h"

#include <QAbstractTableModel>
#include <QBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace records {

namespace {

constexpr int kTrend = 20; // games the summary looks back over

QString whole(double value) { return QString::number(value, 'f', 0); }

QString speedText(const Record& r) { return whole(r.typingSpeed()) + u' ' + r.speedUnit(); }

QString duration(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return u"%1:%2"_s.arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString when(const Record& r) {
    return r.when.isValid() ? r.when.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s) : u"?"_s;
}

QString trend(double from, double to, const QString& unit = {}) {
    const QString end = unit.isEmpty() ? QString() : u' ' + unit;
    if (whole(from) == whole(to))
        return u"stayed at %1%2"_s.arg(whole(to), end);
    return u"%1 from %2 to %3%4"_s.arg(to > from ? u"rose"_s : u"fell"_s, whole(from), whole(to),
                                       end);
}

// "Score rose from 12 to 48 over the last 20 games; ...": a kind's games, oldest first.
QString summarize(const std::vector<const Record*>& games) {
    if (games.empty())
        return u"No games yet."_s;
    const Record& last = *games.back();
    if (games.size() == 1)
        return u"One game so far: score %1, typing speed %2."_s.arg(whole(last.score),
                                                                    speedText(last));
    const std::size_t n = std::min<std::size_t>(games.size(), kTrend);
    const Record& first = *games[games.size() - n];
    return u"Score %1 over the last %2 games; typing speed %3."_s.arg(
        trend(first.score, last.score), QString::number(n),
        trend(first.typingSpeed(), last.typingSpeed(), last.speedUnit()));
}

} // namespace

// Every game, newest first, and whether it beat every earlier game of its kind.
class GamesModel final : public QAbstractTableModel {
public:
    enum Column {
        When,
        Language,
        Speed,
        List,
        Score,
        Best,
        Typing,
        Accuracy,
        Hits,
        Lost,
        Combo,
        Bonuses,
        Played,
        Columns
    };

    void reset(const std::vector<Record>* games, std::vector<bool> newBest) {
        beginResetModel();
        games_ = games;
        newBest_ = std::move(newBest);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !games_ ? 0 : static_cast<int>(games_->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QString names[] = {
            u"When"_s,          u"Language"_s,     u"Speed"_s,      u"Word list"_s, u"Score"_s,
            u"Best"_s,          u"Typing speed"_s, u"Accuracy"_s,   u"Hits"_s,      u"Lives lost"_s,
            u"Highest combo"_s, u"Bonuses"_s,      u"Time played"_s};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= Columns)
            return QAbstractTableModel::headerData(section, orientation, role);
        return names[section];
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole))
            return {};
        const std::size_t row = games_->size() - 1 - static_cast<std::size_t>(index.row());
        const Record& r = (*games_)[row];
        if (role == Qt::TextAlignmentRole)
            return index.column() >= Score && index.column() != Best
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant();
        switch (index.column()) {
        case When:
            return when(r);
        case Language:
            return r.language();
        case Speed:
            return r.speedSetting();
        case List:
            return r.listShown();
        case Score:
            return whole(r.score);
        case Best:
            return newBest_[row] ? u"★ new best"_s : QString();
        case Typing:
            return speedText(r);
        case Accuracy:
            return u"%1 %"_s.arg(QString::number(r.accuracy(), 'f', 0));
        case Hits:
            return u"%1 of %2"_s.arg(r.hits).arg(r.entered);
        case Lost:
            return r.livesLost;
        case Combo:
            return r.bestCombo;
        case Bonuses:
            return r.comboBonuses + r.levelClears;
        default:
            return duration(r.playedMs);
        }
    }

private:
    const std::vector<Record>* games_ = nullptr;
    std::vector<bool> newBest_;
};

// Score and typing speed of one kind over its games, each on its own scale, in the colours of
// the desktop's palette, light or dark.
class Chart final : public QWidget {
public:
    Chart() {
        setMinimumHeight(fontMetrics().height() * 10);
        setAccessibleName(u"Chart of score and typing speed"_s);
    }
    void draw(std::vector<const Record*> games, const QString& summary) {
        games_ = std::move(games);
        setAccessibleDescription(summary);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPalette& colours = palette();
        p.fillRect(rect(), colours.base());
        const int line = fontMetrics().height();
        const QRectF area = QRectF(rect()).adjusted(line, line * 2, -line, -line);
        p.setPen(colours.color(QPalette::Mid));
        p.drawRect(area);
        if (games_.empty()) {
            p.setPen(colours.color(QPalette::Text));
            p.drawText(area, Qt::AlignCenter, u"No games yet"_s);
            return;
        }
        const QPen score(colours.color(QPalette::Highlight), 2);
        QPen speed(colours.color(QPalette::Text), 2, Qt::DashLine);
        const auto highest = [&](auto value) {
            double most = 0;
            for (const Record* r : games_)
                most = std::max(most, value(*r));
            return most;
        };
        const double topScore = highest([](const Record& r) { return r.score; });
        const double topSpeed = highest([](const Record& r) { return r.typingSpeed(); });
        plot(p, area, score, topScore, [](const Record& r) { return r.score; });
        plot(p, area, speed, topSpeed, [](const Record& r) { return r.typingSpeed(); });
        const Record& last = *games_.back();
        legend(p, QPointF(line, line), score, u"Score (highest %1)"_s.arg(whole(topScore)));
        legend(p, QPointF(width() / 2.0, line), speed,
               u"Typing speed (fastest %1 %2)"_s.arg(whole(topSpeed), last.speedUnit()));
    }

private:
    // More games than pixels across are drawn as the mean of those that share a pixel: a line
    // of ten thousand points would take longer to draw than the rest of the window.
    template <class Value>
    void plot(QPainter& p, const QRectF& area, const QPen& pen, double top, Value value) const {
        const std::size_t n = games_.size();
        const std::size_t points =
            std::clamp<std::size_t>(static_cast<std::size_t>(area.width()), 1, n);
        QPainterPath path;
        for (std::size_t k = 0; k < points; ++k) {
            double sum = 0;
            const std::size_t from = k * n / points, to = (k + 1) * n / points;
            for (std::size_t i = from; i < to; ++i)
                sum += value(*games_[i]);
            const double mean = sum / static_cast<double>(to - from);
            const double x = area.left() + (points > 1 ? area.width() * static_cast<double>(k) /
                                                             static_cast<double>(points - 1)
                                                       : area.width() / 2);
            const double y = area.bottom() - (top > 0 ? area.height() * mean / top : 0);
            k == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        p.setPen(pen);
        p.drawPath(path);
        if (games_.size() == 1)
            p.drawEllipse(path.currentPosition(), 3, 3);
    }
    void legend(QPainter& p, QPointF at, const QPen& pen, const QString& label) const {
        const double y = at.y() - fontMetrics().height() / 2.0 + fontMetrics().ascent() / 2.0;
        p.setPen(pen);
        p.drawLine(QPointF(at.x(), y), QPointF(at.x() + 24, y));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QPointF(at.x() + 30, at.y() + fontMetrics().ascent() / 2.0), label);
    }

    std::vector<const Record*> games_;
};

namespace {

QTableView* table(QAbstractItemModel* model, const QString& name) {
    auto* view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false); // Tab goes on to the next part of the window
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

QLabel* heading(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setBuddy(buddy);
    return label;
}

} // namespace

RecordsWindow::RecordsWindow()
    : notice_(new QLabel), bestsModel_(new QStandardItemModel(this)),
      bests_(table(bestsModel_, u"Best scores"_s)), gamesModel_(new GamesModel),
      games_(table(gamesModel_, u"Games"_s)), chart_(new Chart), summary_(new QLabel),
      forgetButton_(new QPushButton(u"&Forget all records…"_s)) {
    gamesModel_->setParent(this);
    setWindowTitle(u"Lumivex — Records"_s);
    setWindowIcon(QIcon::fromTheme(u"org.lumivex.Lumivex"_s));
    notice_->setWordWrap(true);
    notice_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    notice_->hide();
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    // Widths from the newest games only: with thousands, measuring them all is slow.
    games_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    games_->horizontalHeader()->setResizeContentsPrecision(50);
    auto* close = new QPushButton(u"Close"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(forgetButton_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice_);
    layout->addWidget(heading(u"&Best scores"_s, bests_));
    layout->addWidget(bests_, 2);
    layout->addWidget(chart_, 3);
    layout->addWidget(summary_);
    layout->addWidget(heading(u"&Games, newest first"_s, games_));
    layout->addWidget(games_, 4);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 120, fontMetrics().height() * 42);

    confirmForget = [](QWidget& over, int games) {
        return QMessageBox::question(
                   &over, u"Forget all records"_s,
                   u"Forget all %1 games kept? They cannot be brought back."_s.arg(games),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    QObject::connect(forgetButton_, &QPushButton::clicked, this, [this] {
        if (forget && confirmForget(*this, static_cast<int>(records_.size())))
            forget();
    });
    QObject::connect(close, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    QObject::connect(bests_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this](const QModelIndex& row) { chartKind(row.row()); });
}

RecordsWindow::~RecordsWindow() = default;

QWidget* RecordsWindow::chart() const { return chart_; }

QString RecordsWindow::summary() const { return summary_->text(); }

QString RecordsWindow::notice() const { return notice_->isHidden() ? QString() : notice_->text(); }

void RecordsWindow::present(std::vector<Record> games, const QString& notice, bool canForget) {
    records_ = std::move(games);
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    forgetButton_->setEnabled(canForget && !records_.empty());

    // A game is a new best when it beats every earlier game of its kind.
    struct Best {
        const Record* game = nullptr;
        std::vector<const Record*> games;
    };
    std::map<QString, Best> bests;
    std::vector<bool> newBest(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        Best& best = bests[records_[i].kind()];
        best.games.push_back(&records_[i]);
        newBest[i] = !best.game || records_[i].score > best.game->score;
        if (newBest[i])
            best.game = &records_[i];
    }
    gamesModel_->reset(&records_, std::move(newBest));
    games_->resizeColumnsToContents();

    bestsModel_->clear();
    bestsModel_->setHorizontalHeaderLabels({u"Language"_s, u"Speed"_s, u"Word list"_s,
                                            u"Best score"_s, u"Typing speed"_s, u"Played"_s,
                                            u"Games played"_s});
    kinds_.clear();
    int row = -1; // the chart opens on the kind last played
    for (auto& [kind, best] : bests) {
        const Record& r = *best.game;
        QList<QStandardItem*> cells;
        for (const QString& cell : {r.language(), r.speedSetting(), r.listShown(), whole(r.score),
                                    speedText(r), when(r), QString::number(best.games.size())})
            cells << new QStandardItem(cell);
        bestsModel_->appendRow(cells);
        if (best.games.back() == &records_.back())
            row = static_cast<int>(kinds_.size());
        kinds_.push_back(std::move(best.games));
    }
    bests_->setCurrentIndex(bestsModel_->index(row, 0));
    chartKind(row);
    games_->setCurrentIndex(gamesModel_->index(0, 0));
}

void RecordsWindow::chartKind(int bestRow) {
    std::vector<const Record*> games;
    if (bestRow >= 0 && bestRow < static_cast<int>(kinds_.size()))
        games = kinds_[static_cast<std::size_t>(bestRow)];
    QString sentence = summarize(games);
    if (!games.empty())
        sentence =
            u"%1, %2, %3 words: %4"_s.arg(games.back()->language(), games.back()->speedSetting(),
                                          games.back()->listShown(), sentence);
    summary_->setText(sentence);
    chart_->draw(std::move(games), sentence);
}

} // namespace records
