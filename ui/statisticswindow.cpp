// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/statisticswindow.h"

#include "ui/awardpanel.h"
#include "ui/controls.h"
#include "ui/filedialog.h"
#include "ui/paintersurface.h"
#include "ui/printjob.h"
#include "ui/qtext.h"
#include "ui/stationmap.h"
#include "ui/waitcursor.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace ondelog {

namespace {

struct ChartKind
{
    Chart chart;
    const char *title;    // UTF-8
    const char *fileName; // proposed when saving
};

constexpr ChartKind kCharts[] = {
    {Chart::Years, "Contacts par année", "statistiques-annees.png"},
    {Chart::Bands, "Contacts par bande", "statistiques-bandes.png"},
    {Chart::Modes, "Contacts par mode", "statistiques-modes.png"},
    {Chart::Hours, "Contacts par heure (UTC)", "statistiques-heures.png"},
};

const QColor kBar(0x3a, 0x7b, 0xc8);

// What the contacts of a bar are, as a list names them after their number
// ("14 contacts sur 20m"): the bar's label alone ("18", "inconnu") says little
// out of its chart.
QString listCaption(Chart chart, const std::string &label, std::size_t count)
{
    const QString contacts = count == 1 ? QStringLiteral("contact") : QStringLiteral("contacts");
    const QString name = toQString(label);
    if (label == kUnknownLabel) {
        const char *field = chart == Chart::Years   ? "date"
                            : chart == Chart::Bands ? "fréquence"
                            : chart == Chart::Modes ? "mode"
                                                    : "heure";
        return QStringLiteral("%1 sans %2 lisible").arg(contacts, QString::fromUtf8(field));
    }
    switch (chart) {
    case Chart::Years:
    case Chart::Modes:
        return QStringLiteral("%1 en %2").arg(contacts, name);
    case Chart::Bands:
        if (label == kOtherBandLabel)
            return QStringLiteral("%1 hors des bandes amateur").arg(contacts);
        return QStringLiteral("%1 sur %2").arg(contacts, name);
    case Chart::Hours:
        return QStringLiteral("%1 entre %2 h et %3 h UTC")
            .arg(contacts, name)
            .arg(name.toInt() + 1);
    }
    return contacts;
}

// Labels never cut short nor run into each other, as Qt Charts would leave
// them where the bars are narrow (many years or modes, a small window): the
// names under the bars stand upright when they are wider than a bar's room,
// and the figures above the bars are left out when they would overlap.
void fitLabels(qreal plotWidth, QBarSeries *series, QBarCategoryAxis *axis, const QBarSet *set,
               std::int32_t highest)
{
    const qsizetype bars = axis->count();
    if (bars == 0 || plotWidth <= 0)
        return;
    const qreal room = plotWidth / qreal(bars);
    const QFontMetricsF names(axis->labelsFont());
    qreal widest = 0;
    for (const QString &name : axis->categories())
        widest = std::max(widest, names.horizontalAdvance(name));
    const int angle = widest + 6 > room ? -90 : 0;
    if (axis->labelsAngle() != angle)
        axis->setLabelsAngle(angle);
    const QFontMetricsF figures(set->labelFont());
    const bool figuresFit = figures.horizontalAdvance(QLocale().toString(highest)) + 4 <= room;
    if (series->isLabelsVisible() != figuresFit)
        series->setLabelsVisible(figuresFit);
}

QLabel *muted(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x4b, 0x55, 0x63));
    label->setPalette(palette);
    return label;
}

} // namespace

StatisticsWindow::StatisticsWindow(const LogFile &log, const std::string &stationLocator,
                                   QWidget *parent)
    : QWidget(parent, Qt::Window), m_log(log), m_stationLocator(stationLocator),
      m_from(new QLineEdit(this)), m_to(new QLineEdit(this)), m_summary(muted("LabPeriode", this)),
      m_tabs(new QTabWidget(this)), m_chartChoice(new QComboBox(this)),
      m_chartView(new QChartView(this)), m_selection(muted("LabSelection", this)),
      m_award(new AwardPanel(this)), m_map(new StationMap(stationLocator, this)),
      m_reading(new QLabel(this)), m_mapSummary(muted("LabCarte", this))
{
    setObjectName(QStringLiteral("FenStatistiques"));

    // The period, above the three views it applies to.
    m_from->setObjectName(QStringLiteral("TxtPeriodeDebut"));
    m_to->setObjectName(QStringLiteral("TxtPeriodeFin"));
    for (QLineEdit *field : {m_from, m_to}) {
        field->setPlaceholderText(QStringLiteral("jj/mm/aa"));
        field->setMaxLength(10);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                             16);
        connect(field, &QLineEdit::returnPressed, this, &StatisticsWindow::applyPeriod);
    }
    auto *apply = makeButton(QStringLiteral("&Appliquer"), QStringLiteral("BtPeriode"), this);
    connect(apply, &QPushButton::clicked, this, &StatisticsWindow::applyPeriod);
    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("Période du"), this));
    period->addWidget(m_from);
    period->addWidget(new QLabel(QStringLiteral("au"), this));
    period->addWidget(m_to);
    period->addWidget(apply);
    period->addSpacing(12);
    period->addWidget(m_summary, 1);

    // Charts.
    auto *charts = new QWidget(this);
    charts->setObjectName(QStringLiteral("PictGraphiques"));
    m_chartChoice->setObjectName(QStringLiteral("LstGraphique"));
    for (const ChartKind &k : kCharts)
        m_chartChoice->addItem(QString::fromUtf8(k.title));
    connect(m_chartChoice, &QComboBox::currentIndexChanged, this, &StatisticsWindow::showChart);
    m_chartView->setObjectName(QStringLiteral("GraphStatistiques"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(560, 360);
    auto *saveChart = makeButton(QStringLiteral("&Enregistrer en PNG…"),
                                 QStringLiteral("BtGraphiquePng"), charts);
    connect(saveChart, &QPushButton::clicked, this, &StatisticsWindow::saveChart);
    auto *printChart =
        makeButton(QStringLiteral("&Imprimer…"), QStringLiteral("BtGraphiqueImprimer"), charts);
    connect(printChart, &QPushButton::clicked, this, &StatisticsWindow::printChart);
    auto *chartBar = new QHBoxLayout;
    chartBar->addWidget(m_chartChoice);
    chartBar->addStretch(1);
    chartBar->addWidget(saveChart);
    chartBar->addWidget(printChart);
    auto *chartLayout = new QVBoxLayout(charts);
    chartLayout->addLayout(chartBar);
    chartLayout->addWidget(m_chartView, 1);
    chartLayout->addWidget(m_selection);

    // The award.
    connect(m_award, &AwardPanel::recordsChosen, this, &StatisticsWindow::recordsChosen);

    // The map.
    auto *mapPage = new QWidget(this);
    mapPage->setObjectName(QStringLiteral("PictCarte"));
    m_reading->setObjectName(QStringLiteral("LabPositionCarte"));
    m_reading->setMinimumWidth(m_reading->fontMetrics().horizontalAdvance(
        QStringLiteral("Azimut 000°, distance 00000.0 Km, locator MM00MM")));
    auto *saveMap =
        makeButton(QStringLiteral("Enregistrer en &PNG…"), QStringLiteral("BtCartePng"), mapPage);
    connect(saveMap, &QPushButton::clicked, this, &StatisticsWindow::saveMap);
    connect(m_map, &StationMap::pointed, this, &StatisticsWindow::showReading);
    showReading(std::nullopt);
    auto *mapBar = new QHBoxLayout;
    mapBar->addWidget(m_reading, 1);
    mapBar->addWidget(saveMap);
    auto *mapLayout = new QVBoxLayout(mapPage);
    mapLayout->addLayout(mapBar);
    mapLayout->addWidget(m_map, 1);
    mapLayout->addWidget(m_mapSummary);

    m_tabs->setObjectName(QStringLiteral("OngletsStatistiques"));
    m_tabs->addTab(charts, QStringLiteral("&Graphiques"));
    m_tabs->addTab(m_award, QStringLiteral("&Départements"));
    m_tabs->addTab(mapPage, QStringLiteral("&Carte"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &StatisticsWindow::showTab);
    // A window of its own, not a dialog: Escape closes it all the same, so the
    // keyboard alone goes back to the log.
    auto *leave = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(leave, &QShortcut::activated, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addWidget(m_tabs, 1);
    // Room for the 96 départements, on a small screen no more than it has,
    // its title bar and panel left visible.
    QSize size(1100, 800);
    if (const QScreen *where = screen())
        size = size.boundedTo(where->availableGeometry().size() - QSize(0, 40));
    resize(size);

    count();
}

StatisticsWindow::~StatisticsWindow() = default;

QString StatisticsWindow::stationCall() const
{
    return nativePath(m_log.path().stem());
}

Chart StatisticsWindow::currentChart() const
{
    return kCharts[std::clamp(m_chartChoice->currentIndex(), 0, int(std::size(kCharts)) - 1)].chart;
}

void StatisticsWindow::refresh()
{
    count();
}

void StatisticsWindow::setStationLocator(const std::string &stationLocator)
{
    if (stationLocator == m_stationLocator)
        return;
    m_stationLocator = stationLocator;
    m_map->setStationLocator(stationLocator);
    m_mapShown = false;
    showTab();
}

void StatisticsWindow::applyPeriod()
{
    Period period;
    for (QLineEdit *field : {m_from, m_to}) {
        const QString text = field->text().trimmed();
        if (text.isEmpty())
            continue;
        const auto key = dateKey(toCp1252(text));
        if (!key) {
            m_summary->setText(
                QStringLiteral("<span style='color:#b3261e'>Date invalide : %1 (jj/mm/aa ou "
                               "jj/mm/aaaa)</span>")
                    .arg(text.toHtmlEscaped()));
            field->setFocus();
            field->selectAll();
            return;
        }
        (field == m_from ? period.from : period.to) = key;
    }
    m_period = period;
    count();
}

QString StatisticsWindow::periodText() const
{
    auto day = [](int key) {
        return QStringLiteral("%1/%2/%3")
            .arg(key % 100, 2, 10, QLatin1Char('0'))
            .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
            .arg(key / 10000);
    };
    if (m_period.from && m_period.to)
        return QStringLiteral("du %1 au %2").arg(day(*m_period.from), day(*m_period.to));
    if (m_period.from)
        return QStringLiteral("depuis le %1").arg(day(*m_period.from));
    if (m_period.to)
        return QStringLiteral("jusqu'au %1").arg(day(*m_period.to));
    return QStringLiteral("tout le log");
}

void StatisticsWindow::count()
{
    // Another log may have been opened in the same LogFile, or none be open.
    const QString call = stationCall();
    setWindowTitle(call.isEmpty() ? QStringLiteral("Statistiques")
                                  : QStringLiteral("Statistiques — %1").arg(call));
    // What was clicked before belongs to the figures counted before.
    m_selection->setText(QStringLiteral("Cliquez sur une barre pour lister ses contacts."));
    {
        WaitCursor wait;
        m_statistics = computeStatistics(m_log, m_period);
    }
    if (m_statistics.status != LogStatus::Ok) {
        m_summary->setText(QStringLiteral("<span style='color:#b3261e'>%1</span>")
                               .arg(QString::fromStdString(statusMessageUtf8(m_statistics.status))
                                        .toHtmlEscaped()));
    } else {
        QString text =
            QStringLiteral("%1, %2").arg(periodText(), contactsCount(m_statistics.contacts));
        if (m_statistics.leftOut > 0 && !m_period.isOpen())
            text += QStringLiteral(" (%1 hors période)").arg(m_statistics.leftOut);
        m_summary->setText(text);
    }
    showChart();
    m_awardShown = m_mapShown = false;
    showTab();
}

void StatisticsWindow::showTab()
{
    if (m_tabs->currentWidget() == m_award && !m_awardShown) {
        m_award->setStatistics(m_statistics);
        m_awardShown = true;
    }
    if (m_tabs->currentWidget() == m_map->parentWidget() && !m_mapShown) {
        WaitCursor wait;
        m_map->setLocators(m_statistics.locators());
        m_mapSummary->setText(
            QStringLiteral("%1 locators travaillés, %2 sans locator. Centre : %3.")
                .arg(m_map->locators().size())
                .arg(contactsCount(m_statistics.unlocated()), toQString(m_stationLocator)));
        m_mapShown = true;
    }
}

void StatisticsWindow::showChart()
{
    const Chart which = currentChart();
    const std::vector<Tally> &tallies = m_statistics.chart(which);

    auto *set = new QBarSet(QStringLiteral("Contacts"));
    set->setColor(kBar);
    set->setBorderColor(kBar.darker(115));
    set->setLabelColor(QColor(0x1f, 0x29, 0x37));
    QStringList categories;
    std::int32_t highest = 0;
    for (const Tally &t : tallies) {
        *set << t.count;
        categories << toQString(t.label);
        highest = std::max(highest, t.count);
    }
    connect(set, &QBarSet::clicked, this, &StatisticsWindow::chooseBar);

    auto *series = new QBarSeries;
    series->append(set);
    series->setBarWidth(0.75);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(m_chartChoice->currentText() + QStringLiteral(" — ") + periodText());
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->addSeries(series);

    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    series->attachAxis(categoryAxis);
    auto *valueAxis = new QValueAxis;
    valueAxis->setLabelFormat(QStringLiteral("%d"));
    // Room above the highest bar for its label.
    valueAxis->setRange(0, std::max(4, int(highest * 1.12) + 1));
    valueAxis->applyNiceNumbers();
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(valueAxis);

    // Each time the chart is laid out anew (the window resized), its labels are
    // fitted to the room each bar has.
    connect(chart, &QChart::plotAreaChanged, chart, [chart, series, categoryAxis, set, highest] {
        fitLabels(chart->plotArea().width(), series, categoryAxis, set, highest);
    });

    // The view gives up the chart it showed (at first one it made itself).
    QChart *old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
}

void StatisticsWindow::chooseBar(int index)
{
    const Chart which = currentChart();
    const std::vector<Tally> &tallies = m_statistics.chart(which);
    if (index < 0 || std::size_t(index) >= tallies.size())
        return;
    const std::vector<std::int32_t> records = m_statistics.records(which, std::size_t(index));
    const std::string &label = tallies[std::size_t(index)].label;
    m_selection->setText(QStringLiteral("%1 : %2").arg(
        toQString(label), contactsCount(std::int64_t(records.size()))));
    if (!records.empty())
        emit recordsChosen(records, listCaption(which, label, records.size()));
}

void StatisticsWindow::saveChart()
{
    const ChartKind &kind = kCharts[std::size_t(m_chartChoice->currentIndex())];
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = QStringLiteral("Enregistrer le graphique");
    request.defaultSuffix = QStringLiteral("png");
    request.filter = QStringLiteral("Image PNG (*.png)");
    request.proposedName = QString::fromLatin1(kind.fileName);
    const QString path = askFileName(this, request);
    if (path.isEmpty())
        return;
    if (!m_chartView->grab().save(path, "PNG"))
        QMessageBox::warning(this, QStringLiteral("Statistiques"),
                             QStringLiteral("L'image %1 ne peut pas être écrite.").arg(path));
}

void StatisticsWindow::printPage(PrintSurface &surface) const
{
    surface.setFontName("Arial");
    surface.setBold(true);
    surface.setFontSize(16);
    surface.moveTo(0, 0);
    surface.print(toCp1252(m_chartChoice->currentText()));
    surface.setBold(false);
    surface.setFontSize(10);
    surface.moveTo(0, 520);
    // French figures are grouped with a narrow no-break space, which the page's
    // Windows-1252 text cannot hold; the plain no-break space can.
    QString details = QStringLiteral("%1 — %2 — %3, %4")
                          .arg(stationCall(), toQString(m_stationLocator), periodText(),
                               contactsCount(m_statistics.contacts));
    details.replace(QChar(0x202F), QChar(0x00A0));
    surface.print(toCp1252(details));
    // The chart itself is drawn by Qt, in vectors, on the same page: 7.5 by 5
    // inches under the heading.
    if (auto *painterSurface = dynamic_cast<PainterSurface *>(&surface)) {
        QPainter &painter = painterSurface->painter();
        painter.save();
        m_chartView->scene()->render(&painter, painterSurface->deviceRect(0, 1000, 10800, 8200),
                                     m_chartView->sceneRect());
        painter.restore();
    }
    surface.endDocument();
}

void StatisticsWindow::printChart()
{
    PrintJob job(this);
    const PrintOutcome outcome = job.run(m_chartChoice->currentText(),
                                         [this](PrintSurface &surface) { printPage(surface); });
    if (outcome == PrintOutcome::Failed)
        QMessageBox::warning(this, QStringLiteral("Statistiques"), job.lastError());
}

void StatisticsWindow::saveMap()
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = QStringLiteral("Enregistrer la carte");
    request.defaultSuffix = QStringLiteral("png");
    request.filter = QStringLiteral("Image PNG (*.png)");
    request.proposedName = QStringLiteral("carte-%1.png").arg(toQString(m_stationLocator));
    const QString path = askFileName(this, request);
    if (path.isEmpty())
        return;
    QImage image;
    {
        WaitCursor wait;
        image = m_map->render(1200);
    }
    if (!image.save(path, "PNG"))
        QMessageBox::warning(this, QStringLiteral("Statistiques"),
                             QStringLiteral("L'image %1 ne peut pas être écrite.").arg(path));
}

void StatisticsWindow::showReading(const std::optional<MapReading> &reading)
{
    if (!reading) {
        m_reading->setText(
            QStringLiteral("Survolez la carte : azimut et distance depuis la station."));
        return;
    }
    m_reading->setText(QStringLiteral("Azimut %1, distance %2, locator %3")
                           .arg(toQString(reading->azimuthText), toQString(reading->distanceText),
                                toQString(reading->locator)));
}

} // namespace ondelog
