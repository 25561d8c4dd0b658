// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/awardpanel.h"

#include "ui/qtext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ondelog {

namespace {

constexpr int kColumns = 12;

// One look per state, chosen by the cell's "etat" property.
const char *const kStyle = R"(
QPushButton[etat="non"] { background: #eef1f5; color: #5b6472; border: 1px solid #d5dbe3; }
QPushButton[etat="travaille"] { background: #f7c873; color: #3b2a06; border: 1px solid #d9a13c; }
QPushButton[etat="confirme"] { background: #4f9d62; color: white; border: 1px solid #3b7d4c; }
QPushButton[etat] { border-radius: 4px; padding: 2px; text-align: center; }
QPushButton[etat]:hover { border: 1px solid #1f4e79; }
QLabel[legende="non"] { background: #eef1f5; border: 1px solid #d5dbe3; }
QLabel[legende="travaille"] { background: #f7c873; border: 1px solid #d9a13c; }
QLabel[legende="confirme"] { background: #4f9d62; border: 1px solid #3b7d4c; }
)";

QString stateName(AwardState state)
{
    switch (state) {
    case AwardState::Worked:
        return QStringLiteral("travaille");
    case AwardState::Confirmed:
        return QStringLiteral("confirme");
    case AwardState::NotWorked:
        break;
    }
    return QStringLiteral("non");
}

QWidget *legendItem(const QString &state, const QString &text, QWidget *parent)
{
    auto *item = new QWidget(parent);
    auto *swatch = new QLabel(item);
    swatch->setProperty("legende", state);
    swatch->setFixedSize(14, 14);
    auto *layout = new QHBoxLayout(item);
    layout->setContentsMargins(0, 0, 12, 0);
    layout->setSpacing(5);
    layout->addWidget(swatch);
    layout->addWidget(new QLabel(text, item));
    return item;
}

// The room a cell's style leaves for its text.
QSize textRoom(const QPushButton *cell, const QSize &size)
{
    QStyleOptionButton option;
    option.initFrom(cell);
    option.rect = QRect(QPoint(0, 0), size);
    return cell->style()->subElementRect(QStyle::SE_PushButtonContents, &option, cell).size();
}

} // namespace

AwardPanel::AwardPanel(QWidget *parent)
    : QWidget(parent), m_band(new QComboBox(this)), m_counts(new QLabel(this)),
      m_notes(new QLabel(this))
{
    setObjectName(QStringLiteral("PictDepartements"));
    setStyleSheet(QString::fromLatin1(kStyle));

    m_band->setObjectName(QStringLiteral("LstBandeDiplome"));
    m_band->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_band, &QComboBox::currentIndexChanged, this, &AwardPanel::showBand);
    m_counts->setObjectName(QStringLiteral("LabDiplome"));
    QFont bold = m_counts->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_counts->setFont(bold);
    m_notes->setObjectName(QStringLiteral("LabDiplomeNotes"));
    m_notes->setWordWrap(true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Bande :"), this));
    top->addWidget(m_band);
    top->addSpacing(16);
    top->addWidget(m_counts);
    top->addStretch(1);
    top->addWidget(legendItem(QStringLiteral("non"), QStringLiteral("Non travaillé"), this));
    top->addWidget(legendItem(QStringLiteral("travaille"), QStringLiteral("Travaillé"), this));
    top->addWidget(
        legendItem(QStringLiteral("confirme"), QStringLiteral("Confirmé (QSL reçue)"), this));

    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    // The names a little smaller than the rest of the window, smaller still
    // down to a floor when the window is narrow.
    m_cellPoints = font().pointSizeF() * 0.9;
    m_smallestPoints = font().pointSizeF() * 0.75;
    QFont cellFont = font();
    cellFont.setPointSizeF(m_cellPoints);
    for (int i = 0; i < kAwardDepartements; ++i) {
        const QString code = QString::fromLatin1(awardCode(i).data(), int(awardCode(i).size()));
        auto *cell = new QPushButton(this);
        cell->setObjectName(QStringLiteral("BtDept") + code);
        cell->setFont(cellFont);
        cell->setProperty("etat", QStringLiteral("non"));
        cell->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        cell->setFocusPolicy(Qt::NoFocus);
        connect(cell, &QPushButton::clicked, this, [this, i] { choose(i); });
        m_cells[std::size_t(i)] = cell;
        grid->addWidget(cell, i / kColumns, i % kColumns);
    }

    // No narrower than the floor of letters lets every name be read whole.
    QPushButton *first = m_cells[0];
    first->ensurePolished();
    QFont smallest = cellFont;
    smallest.setPointSizeF(m_smallestPoints);
    const QFontMetrics metrics(smallest);
    int widest = 0;
    for (int i = 0; i < kAwardDepartements; ++i)
        for (const QString &line : nameLines(toQString(awardName(i)), metrics, 0))
            widest = std::max(widest, metrics.horizontalAdvance(line));
    const QSize frame = QSize(100, 100) - textRoom(first, QSize(100, 100));
    const QSize least(widest + frame.width() + 2, 3 * metrics.lineSpacing() + frame.height() + 4);
    for (QPushButton *cell : m_cells)
        cell->setMinimumSize(least);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(grid, 1);
    layout->addWidget(m_notes);
}

void AwardPanel::setStatistics(const LogStatistics &statistics)
{
    const QString chosen = m_band->currentIndex() > 0 ? m_band->currentText() : QString();
    m_statistics = &statistics;
    {
        const QSignalBlocker quiet(m_band);
        m_band->clear();
        m_band->addItem(QStringLiteral("Toutes les bandes"));
        for (const Tally &t : statistics.bands)
            if (t.label != kOtherBandLabel && t.label != kUnknownLabel)
                m_band->addItem(toQString(t.label));
        m_band->setCurrentIndex(std::max(0, m_band->findText(chosen)));
    }
    showBand();
}

std::optional<std::size_t> AwardPanel::band() const
{
    if (!m_statistics || m_band->currentIndex() <= 0)
        return std::nullopt;
    const std::string label = toCp1252(m_band->currentText());
    for (std::size_t b = 0; b < m_statistics->bands.size(); ++b)
        if (m_statistics->bands[b].label == label)
            return b;
    return std::nullopt;
}

void AwardPanel::showBand()
{
    if (!m_statistics)
        return;
    m_view = m_statistics->award(band());
    m_counts->setText(QStringLiteral("travaillés %1 / %3, confirmés %2 / %3")
                          .arg(m_view.worked)
                          .arg(m_view.confirmed)
                          .arg(kAwardDepartements));
    for (int i = 0; i < kAwardDepartements; ++i) {
        QPushButton *cell = m_cells[std::size_t(i)];
        const AwardCell &c = m_view.cells[std::size_t(i)];
        const QString code = QString::fromLatin1(awardCode(i).data(), int(awardCode(i).size()));
        const QString name = toQString(awardName(i));
        cell->setToolTip(QStringLiteral("%1 %2 : %3")
                             .arg(code, name, contactsCount(std::int64_t(c.records.size()))));
        cell->setProperty("etat", stateName(c.state));
        cell->style()->unpolish(cell);
        cell->style()->polish(cell);
    }
    nameCells();
    QStringList notes;
    if (const std::size_t corsica = m_statistics->corsicaRecords().size())
        notes << QStringLiteral("Corse notée 20, sans 2A ni 2B : %1").arg(contactsCount(corsica));
    if (const std::size_t unknown = m_statistics->unknownDepartementRecords().size())
        notes << QStringLiteral("département illisible : %1").arg(contactsCount(unknown));
    m_notes->setText(notes.join(QStringLiteral(" · ")));
    m_notes->setVisible(!notes.isEmpty());
}

// A name wider than the cell is broken once, after a hyphen or at a space,
// where its widest line is narrowest ("Seine-" / "Saint-Denis"), so that every
// name is read whole, however long.
QStringList AwardPanel::nameLines(const QString &name, const QFontMetrics &metrics, int width)
{
    QStringList best{name};
    int narrowest = metrics.horizontalAdvance(name);
    if (narrowest <= width)
        return best;
    for (qsizetype at = 0; at < name.size(); ++at) {
        const QChar c = name.at(at);
        if (c != QLatin1Char('-') && c != QLatin1Char(' '))
            continue;
        // The hyphen stays at the end of the first line; a space goes.
        const QString first = name.left(c == QLatin1Char('-') ? at + 1 : at);
        const QString second = name.mid(at + 1);
        if (first.isEmpty() || second.isEmpty())
            continue;
        const int widest =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (widest < narrowest) {
            narrowest = widest;
            best = {first, second};
        }
    }
    return best;
}

namespace {

// Whether the code and every name fit, on one line or two, in cells of that room.
bool namesFit(const QFont &font, const QSize &room)
{
    const QFontMetrics metrics(font);
    int lines = 1;
    for (int i = 0; i < kAwardDepartements; ++i) {
        const QStringList name =
            AwardPanel::nameLines(toQString(awardName(i)), metrics, room.width());
        lines = std::max(lines, 1 + int(name.size()));
        for (const QString &line : name)
            if (metrics.horizontalAdvance(line) > room.width())
                return false;
    }
    return lines * metrics.lineSpacing() <= room.height();
}

} // namespace

// One size of letters for every cell, the largest with which every name fits
// whole in the cells as they are now: a grid of unlike sizes reads badly.
void AwardPanel::nameCells()
{
    // The grid shares its width out a pixel more to some columns than others:
    // the narrowest and lowest cell sets the room.
    QPushButton *first = m_cells[0];
    QSize size = first->size();
    for (const QPushButton *cell : m_cells)
        size = size.boundedTo(cell->size());
    size = size.expandedTo(first->minimumSize());
    QFont font = first->font();
    qreal points = m_cellPoints;
    font.setPointSizeF(points);
    while (points > m_smallestPoints && !namesFit(font, textRoom(first, size))) {
        points = std::max(m_smallestPoints, points - 0.25);
        font.setPointSizeF(points);
    }
    const QFontMetrics metrics(font);
    const int width = textRoom(first, size).width();
    for (int i = 0; i < kAwardDepartements; ++i) {
        QPushButton *cell = m_cells[std::size_t(i)];
        if (cell->font() != font)
            cell->setFont(font);
        QStringList lines = nameLines(toQString(awardName(i)), metrics, width);
        lines.prepend(QString::fromLatin1(awardCode(i).data(), int(awardCode(i).size())));
        cell->setText(lines.join(QLatin1Char('\n')));
    }
}

void AwardPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    nameCells();
}

void AwardPanel::choose(int index)
{
    const AwardCell &c = m_view.cells[std::size_t(index)];
    if (c.records.empty())
        return;
    const QString code = QString::fromLatin1(awardCode(index).data(), int(awardCode(index).size()));
    const QString contacts =
        c.records.size() == 1 ? QStringLiteral("contact") : QStringLiteral("contacts");
    const QString where = m_band->currentIndex() > 0
                              ? QStringLiteral(" sur %1").arg(m_band->currentText())
                              : QStringLiteral(", toutes les bandes");
    emit recordsChosen(
        c.records,
        QStringLiteral("%1 du %2 %3%4").arg(contacts, code, toQString(awardName(index)), where));
}

} // namespace ondelog
