// SPDX-License-Identifier: GPL-3.0-or-later
// The "Statistiques" window driven as an operator would: the period typed in,
// a bar and a département clicked, images saved, the page printed, the mouse
// over the map. What is counted is the core tests' business; here, what the
// window does with it.

#include "logbook/logfile.h"
#include "printing/printsurface.h"
#include "tests/ui/helpers/chartclick.h"
#include "tests/ui/helpers/uitest.h"
#include "ui/awardpanel.h"
#include "ui/printjob.h"
#include "ui/qtext.h"
#include "ui/stationmap.h"
#include "ui/statisticswindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QtTest>

using namespace ondelog;
using namespace ondelog::test;

namespace {

using Records = std::vector<std::int32_t>;

QsoRecord contact(const char *date, const char *frequency, const char *dept, const char *locator,
                  const char *theirQsl = "")
{
    QsoRecord r;
    r.setField(Field::CSGN, "F5ABC");
    r.setField(Field::DQSO, date);
    r.setField(Field::HDEB, "18:30");
    r.setField(Field::FREQ, frequency);
    r.setField(Field::MODE, "SSB");
    r.setField(Field::DEPT, dept);
    r.setField(Field::SLOC, locator);
    r.setField(Field::SQSL, theirQsl);
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

// 20m: records 1, 3, 5; 40m: 2, 4; no frequency: 6.
std::vector<QsoRecord> sixContacts()
{
    return {
        contact("10/05/23", "14.205", "35", "IN98GC", "01/07/23"),
        contact("11/05/23", "7.088", "35", "IN98GC"),
        contact("12/01/24", "14,250", "2A", "JN41"),
        contact("13/01/24", "7.074", "75", "FN31PR"),
        contact("14/02/24", "14.074", "", "PM95UQ"),
        contact("15/02/24", "", "69", ""),
    };
}

void chooseFile(const QString &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->selectFile(path);
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

} // namespace

class StatisticsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DataRoot> m_root;
    LogFile m_log;
    std::unique_ptr<StatisticsWindow> m_window;

    bool open(const std::vector<QsoRecord> &records)
    {
        const auto path = m_root->root() / "F6XYZ.Ham";
        writeRecords(path, records);
        if (m_log.open(path) != LogStatus::Ok)
            return false;
        m_window = std::make_unique<StatisticsWindow>(m_log, "JN18EU");
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window.get());
    }

    template <typename T = QWidget> T *get(const char *name)
    {
        return child<T>(m_window.get(), QString::fromLatin1(name));
    }

    QList<qreal> bars()
    {
        auto *series =
            qobject_cast<QBarSeries *>(m_window->chartView()->chart()->series().value(0));
        if (!series || series->barSets().isEmpty())
            return {};
        QList<qreal> values;
        for (int i = 0; i < series->barSets()[0]->count(); ++i)
            values << series->barSets()[0]->at(i);
        return values;
    }

    QStringList categories()
    {
        const auto axes = m_window->chartView()->chart()->axes(Qt::Horizontal);
        auto *axis = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes[0]);
        return axis ? axis->categories() : QStringList();
    }

    void clickBar(int index)
    {
        QTest::mouseClick(m_window->chartView()->viewport(), Qt::LeftButton, {},
                          barCentre(m_window->chartView(), index));
    }

    void showTab(int index) { get<QTabWidget>("OngletsStatistiques")->setCurrentIndex(index); }

    void setPeriod(const QString &from, const QString &to)
    {
        get<QLineEdit>("TxtPeriodeDebut")->setText(from);
        get<QLineEdit>("TxtPeriodeFin")->setText(to);
        get<QPushButton>("BtPeriode")->click();
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        PrintJob::setRunnerForTests({});
        m_window.reset();
        m_log.close();
    }

    void aClickOnABarGivesItsContacts()
    {
        QVERIFY(open(sixContacts()));
        QSignalSpy chosen(m_window.get(), &StatisticsWindow::recordsChosen);
        get<QComboBox>("LstGraphique")->setCurrentIndex(1);
        QCOMPARE(m_window->currentChart(), Chart::Bands);
        QCOMPARE(categories(), (QStringList{"40m", "20m", "inconnu"}));
        QCOMPARE(bars(), (QList<qreal>{2, 3, 1}));

        clickBar(1);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<Records>(), (Records{1, 3, 5}));
        QCOMPARE(chosen[0][1].toString(), QStringLiteral("contacts sur 20m"));
        QCOMPARE(get<QLabel>("LabSelection")->text(), QStringLiteral("20m : 3 contacts"));
        clickBar(2);
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(chosen[1][0].value<Records>(), (Records{6}));
        QCOMPARE(chosen[1][1].toString(), QStringLiteral("contact sans fréquence lisible"));

        get<QComboBox>("LstGraphique")->setCurrentIndex(0);
        QCOMPARE(categories(), (QStringList{"2023", "2024"}));
        clickBar(0);
        QCOMPARE(chosen.count(), 3);
        QCOMPARE(chosen[2][0].value<Records>(), (Records{1, 2}));
        QCOMPARE(chosen[2][1].toString(), QStringLiteral("contacts en 2023"));
        get<QComboBox>("LstGraphique")->setCurrentIndex(3);
        clickBar(18);
        QCOMPARE(chosen.count(), 4);
        QCOMPARE(chosen[3][1].toString(), QStringLiteral("contacts entre 18 h et 19 h UTC"));
    }

    void thePeriodAppliesToEveryViewAndABadDateIsRefused()
    {
        QVERIFY(open(sixContacts()));
        get<QComboBox>("LstGraphique")->setCurrentIndex(1);
        auto *award = get<QLabel>("LabDiplome");
        showTab(2);
        QCOMPARE(m_window->map()->locators().size(), std::size_t(4));
        showTab(1);
        QCOMPARE(award->text(), QStringLiteral("travaillés 4 / 96, confirmés 1 / 96"));

        // Typed while the award is shown: the award follows at once, the chart
        // and the map behind their tabs when they are shown again.
        setPeriod(QStringLiteral("01/01/2024"), QString());
        QCOMPARE(m_window->statistics().contacts, 4);
        QCOMPARE(award->text(), QStringLiteral("travaillés 3 / 96, confirmés 0 / 96"));
        showTab(2);
        QCOMPARE(m_window->map()->locators().size(), std::size_t(3));
        showTab(0);
        QCOMPARE(bars(), (QList<qreal>{1, 2, 1}));
        QVERIFY(
            get<QLabel>("LabPeriode")->text().startsWith(QStringLiteral("depuis le 01/01/2024")));

        // A day that does not exist leaves the figures as they were.
        setPeriod(QStringLiteral("01/01/24"), QStringLiteral("30/02/24"));
        QVERIFY(
            get<QLabel>("LabPeriode")->text().contains(QStringLiteral("Date invalide : 30/02/24")));
        QCOMPARE(m_window->statistics().contacts, 4);
        QCOMPARE(bars(), (QList<qreal>{1, 2, 1}));

        setPeriod(QString(), QString());
        QCOMPARE(m_window->statistics().contacts, 6);
    }

    void theAwardPerBandAndAClickOnADepartement()
    {
        QVERIFY(open(sixContacts()));
        QSignalSpy chosen(m_window.get(), &StatisticsWindow::recordsChosen);
        showTab(1);
        AwardPanel *award = m_window->awardPanel();
        auto *band = get<QComboBox>("LstBandeDiplome");
        QCOMPARE(band->count(), 3); // all bands, 40m, 20m: no "inconnu" band for an award
        QCOMPARE(get<QPushButton>("BtDept35")->property("etat").toString(),
                 QStringLiteral("confirme"));

        band->setCurrentText(QStringLiteral("40m"));
        QCOMPARE(get<QLabel>("LabDiplome")->text(),
                 QStringLiteral("travaillés 2 / 96, confirmés 0 / 96"));
        QCOMPARE(get<QPushButton>("BtDept35")->property("etat").toString(),
                 QStringLiteral("travaille"));
        QCOMPARE(get<QPushButton>("BtDept2A")->property("etat").toString(), QStringLiteral("non"));

        QTest::mouseClick(award->cell(35), Qt::LeftButton);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<Records>(), (Records{2}));
        QCOMPARE(chosen[0][1].toString(), QStringLiteral("contact du 35 Ille-et-Vilaine sur 40m"));
        // Nothing behind a département not worked on the band: nothing to list.
        get<QPushButton>("BtDept2A")->click();
        QCOMPARE(chosen.count(), 1);

        // Counted again, the band chosen stays.
        m_window->refresh();
        QCOMPARE(band->currentText(), QStringLiteral("40m"));
    }

    void longNamesBreakWhereTheirLinesAreNarrowest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("room enough")
            << "Territoire-de-Belfort" << 10000 << QStringList{"Territoire-de-Belfort"};
        QTest::newRow("hyphens") << "Territoire-de-Belfort" << 0
                                 << QStringList{"Territoire-", "de-Belfort"};
        QTest::newRow("shortened word")
            << "Alpes-Hte-Provence" << 0 << QStringList{"Alpes-Hte-", "Provence"};
        QTest::newRow("a space goes") << "Ville de Paris" << 0 << QStringList{"Ville de", "Paris"};
        QTest::newRow("apostrophe kept") << "Val-d'Oise" << 0 << QStringList{"Val-", "d'Oise"};
        QTest::newRow("nowhere to break") << "Finistère" << 0 << QStringList{"Finistère"};
        QTest::newRow("hyphen at the end") << "Lot-" << 0 << QStringList{"Lot-"};
    }

    void longNamesBreakWhereTheirLinesAreNarrowest()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(QStringList, lines);
        QCOMPARE(AwardPanel::nameLines(name, QFontMetrics(QApplication::font()), width), lines);
    }

    // The window as it opens, filling a 1024 x 768 screen, and as small as it goes.
    void everyDepartementIsNamedWhole_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("usual") << QSize(1100, 800);
        QTest::newRow("1024x768 screen") << QSize(1024, 728);
        QTest::newRow("smallest") << QSize(0, 0);
    }

    void everyDepartementIsNamedWhole()
    {
        QFETCH(QSize, size);
        QVERIFY(open(sixContacts()));
        showTab(1);
        m_window->resize(size.expandedTo(m_window->minimumSize()));
        QTest::qWait(0);
        for (int i = 0; i < kAwardDepartements; ++i) {
            QPushButton *cell = m_window->awardPanel()->cell(i);
            QStyleOptionButton option;
            option.initFrom(cell);
            const QRect room =
                cell->style()->subElementRect(QStyle::SE_PushButtonContents, &option, cell);
            const QFontMetrics metrics(cell->font());
            QVERIFY2(cell->font().pointSizeF() >= QApplication::font().pointSizeF() * 0.7,
                     qPrintable(cell->objectName()));
            const QStringList lines = cell->text().split(QLatin1Char('\n'));
            QVERIFY2(lines.size() * metrics.lineSpacing() <= room.height(),
                     qPrintable(cell->text()));
            QString name;
            for (const QString &line : lines.mid(1)) {
                QVERIFY2(metrics.horizontalAdvance(line) <= room.width(), qPrintable(line));
                if (!name.isEmpty() && !name.endsWith(QLatin1Char('-')))
                    name += QLatin1Char(' ');
                name += line;
            }
            QCOMPARE(lines.value(0),
                     QString::fromLatin1(awardCode(i).data(), qsizetype(awardCode(i).size())));
            QCOMPARE(name, toQString(awardName(i)));
        }
    }

    // Thirty modes, one of them a hundred and twenty times: their names stand
    // upright under the bars, and the figures over them go when the window is
    // too narrow for them and come back when it widens.
    void chartLabelsNeverRunIntoEachOther()
    {
        std::vector<QsoRecord> records = sixContacts();
        for (int k = 0; k < 29; ++k)
            for (int n = k == 0 ? 120 : 1; n > 0; --n) {
                QsoRecord r = contact("01/06/24", "14.074", "", "");
                r.setField(Field::MODE,
                           std::string("FSK") + char('A' + k / 26) + char('A' + k % 26));
                records.push_back(r);
            }
        QVERIFY(open(records));
        m_window->resize(1100, 800);
        auto *choice = get<QComboBox>("LstGraphique");
        QChartView *view = m_window->chartView();
        auto series = [&] { return qobject_cast<QBarSeries *>(view->chart()->series().value(0)); };
        auto axis = [&] {
            return qobject_cast<QBarCategoryAxis *>(view->chart()->axes(Qt::Horizontal).value(0));
        };

        choice->setCurrentIndex(1); // three bands
        QTRY_VERIFY(series()->isLabelsVisible());
        QCOMPARE(axis()->labelsAngle(), 0);
        choice->setCurrentIndex(2); // 30 modes
        QTRY_COMPARE(axis()->labelsAngle(), -90);
        QVERIFY(series()->isLabelsVisible());
        m_window->resize(m_window->minimumSize());
        QTRY_VERIFY(!series()->isLabelsVisible());
        QCOMPARE(axis()->labelsAngle(), -90);
        m_window->resize(1100, 800);
        QTRY_VERIFY(series()->isLabelsVisible());
        choice->setCurrentIndex(1);
        QTRY_COMPARE(axis()->labelsAngle(), 0);
    }

    void chartsAndMapSaveAsImagesAndTheChartPrints()
    {
        QVERIFY(open(sixContacts()));
        const QString chartPath = QString::fromStdString((m_root->root() / "bandes.png").string());
        chooseFile(chartPath);
        get<QPushButton>("BtGraphiquePng")->click();
        QImage chart(chartPath);
        QVERIFY(!chart.isNull());
        QCOMPARE(chart.size(), m_window->chartView()->size() * m_window->devicePixelRatio());

        showTab(2);
        const QString mapPath = QString::fromStdString((m_root->root() / "carte.png").string());
        chooseFile(mapPath);
        get<QPushButton>("BtCartePng")->click();
        QCOMPARE(QImage(mapPath).size(), QSize(1200, 1200));

        std::vector<std::string> printed;
        PrintJob::setRunnerForTests([&](const PrintJob::Layout &layout) {
            RecordingSurface surface;
            layout(surface);
            for (const PrintCommand &c : surface.commands(PrintCommand::Kind::Text))
                printed.push_back(c.text);
            return surface.commands(PrintCommand::Kind::EndDocument).size() == 1
                       ? PrintOutcome::Printed
                       : PrintOutcome::Failed;
        });
        get<QPushButton>("BtGraphiqueImprimer")->click();
        QCOMPARE(printed.size(), std::size_t(2));
        QCOMPARE(printed[0], std::string("Contacts par ann\xE9"
                                         "e"));
        QCOMPARE(printed[1], std::string("F6XYZ \x97 JN18EU \x97 tout le log, 6 contacts"));
    }

    // In French a thousand is grouped with a narrow no-break space, which the
    // page's Windows-1252 text has no byte for.
    void thePrintedCountKeepsItsFrenchSpace()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        std::vector<QsoRecord> many(1234, sixContacts()[0]);
        const bool opened = open(many);
        std::string details;
        PrintJob::setRunnerForTests([&](const PrintJob::Layout &layout) {
            RecordingSurface surface;
            layout(surface);
            details = surface.commands(PrintCommand::Kind::Text).at(1).text;
            return PrintOutcome::Printed;
        });
        if (opened)
            get<QPushButton>("BtGraphiqueImprimer")->click();
        QLocale::setDefault(before);
        QVERIFY(opened);
        QCOMPARE(details, std::string("F6XYZ \x97 JN18EU \x97 tout le log, 1\xA0"
                                      "234 contacts"));
    }

    void theMapTellsAzimuthAndDistanceUnderTheMouse()
    {
        QVERIFY(open(sixContacts()));
        showTab(2);
        StationMap *map = m_window->map();
        QVERIFY(map->hasLand());
        const QPoint newYork = map->toWidget(map->projection().project({40.7, 74.0})).toPoint();
        QTest::mouseMove(map, newYork);
        const auto reading = readMap(map->projection(), map->toMap(newYork));
        QVERIFY(reading);
        QCOMPARE(get<QLabel>("LabPositionCarte")->text(),
                 QStringLiteral("Azimut %1, distance %2, locator %3")
                     .arg(QString::fromLatin1("292\xB0"),
                          QString::fromStdString(reading->distanceText),
                          QString::fromStdString(reading->locator)));
        QVERIFY(reading->locator.starts_with("FN"));
    }

    // What the window shows is the log as it was counted; counted again after
    // a change, the bars and their record numbers follow the log.
    void aRefreshFollowsTheLog()
    {
        QVERIFY(open(sixContacts()));
        QSignalSpy chosen(m_window.get(), &StatisticsWindow::recordsChosen);
        get<QComboBox>("LstGraphique")->setCurrentIndex(1);
        QCOMPARE(m_log.appendContact(contact("01/03/24", "144.300", "", "JN18"), "JN18EU"),
                 LogStatus::Ok);
        QCOMPARE(m_log.deleteRecord(1, "JN18EU"), LogStatus::Ok);
        m_window->refresh();
        QCOMPARE(categories(), (QStringList{"40m", "20m", "2m", "inconnu"}));
        QCOMPARE(bars(), (QList<qreal>{2, 2, 1, 1}));
        clickBar(1);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<Records>(), (Records{2, 4}));
        showTab(1);
        QCOMPARE(get<QLabel>("LabDiplome")->text(),
                 QStringLiteral("travaillés 4 / 96, confirmés 0 / 96"));
    }
};

Q_DECLARE_METATYPE(std::vector<std::int32_t>)

QTEST_MAIN(StatisticsTest)
#include "tst_statistics.moc"
