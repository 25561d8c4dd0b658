// SPDX-License-Identifier: GPL-3.0-or-later
// Renders Ondelog's windows to PNG files so that their look can be checked
// without a desktop: ondelog_screenshots <folder>.

#include "companions/fabribasewindow.h"
#include "companions/timesetterwindow.h"
#include "companions/versabasewindow.h"
#include "geo/calendar.h"
#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "logbook/regularfile.h"
#include "printing/labelprint.h"
#include "printing/logpage.h"
#include "setup/config.h"
#include "setup/dataroot.h"
#include "tests/common/papercheck.h"     // the widest contacts and labels of the paper tests
#include "tests/common/rigctld.h"        // a radio to read without a radio
#include "tests/station/datagrams.h"     // what WSJT-X sends, for the live station
#include "tests/ui/helpers/chartclick.h" // where a bar of a chart lies, to click it
#include "timesetter/clocktime.h"
#include "ui/aboutdialog.h"
#include "ui/adifcommands.h"
#include "ui/application.h"
#include "ui/contacteditor.h"
#include "ui/filedialog.h"
#include "ui/firstrundialog.h"
#include "ui/labeleditor.h"
#include "ui/labelsheetpanel.h"
#include "ui/livestation.h"
#include "ui/locatordialog.h"
#include "ui/mainwindow.h"
#include "ui/paintersurface.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/settingsdialog.h"
#include "ui/stationline.h"
#include "ui/stationmap.h"
#include "ui/statisticswindow.h"
#include "ui/transceiverdialog.h"
#include "ui/wsjtxdialog.h"
#include "ui/wsjtxlistener.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkDatagram>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace ondelog;

struct Station
{
    const char *call;
    const char *qth;
    const char *locator;
    const char *dept;
    const char *name;
};

constexpr Station kStations[] = {
    {"F5ABC", "Rennes", "IN98GC", "35", "Yves"},   {"F4HZQ", "Toulouse", "JN03RO", "31", "Martine"},
    {"ON4XYZ", "Liège", "JO20SP", "", "Luc"},      {"F6DKW", "Amiens", "JN19DV", "80", "Gérard"},
    {"G3ABC", "Cambridge", "JO02AF", "", "Peter"}, {"DL1ABC", "Köln", "JO30LW", "", "Klaus"},
    {"F1JKL", "Lyon", "JN25DS", "69", "Hélène"},   {"EA3XYZ", "Barcelona", "JN11CJ", "", "Jordi"},
    {"F8REF", "Tours", "JN07BJ", "37", "Alain"},   {"HB9ABC", "Genève", "JN36BF", "", "Pierre"},
};
constexpr const char *kModes[] = {"SSB", "CW", "FM", "FT8"};
constexpr const char *kFrequencies[] = {"3.650", "7.088", "14.205", "144.300", "21.074"};

std::filesystem::path makeStation(const QString &root, int contacts)
{
    const std::filesystem::path dataRoot(root.toStdString());
    const std::filesystem::path folder = programFolder(dataRoot);
    std::filesystem::create_directories(folder);
    const Configuration config = makeConfiguration("F6XYZ", "JN18EU");
    writeConfiguration(folder / kConfigFileName, config);
    const std::filesystem::path log = folder / config.logFileName;
    LogFile::create(log, config.stationLocator);
    LogFile file;
    file.open(log);
    for (int i = 0; i < contacts; ++i) {
        const Station &s = kStations[i % std::size(kStations)];
        QsoRecord r;
        r.setField(Field::CSGN, s.call);
        char date[9];
        std::snprintf(date, sizeof date, "%02d/%02d/24", 1 + (i / 3) % 28, 1 + i / 40);
        r.setField(Field::DQSO, date);
        char time[6];
        std::snprintf(time, sizeof time, "%02d:%02d", 8 + (i % 12), (i * 7) % 60);
        r.setField(Field::HDEB, time);
        std::snprintf(time, sizeof time, "%02d:%02d", 8 + (i % 12), (i * 7 + 5) % 60);
        r.setField(Field::HFIN, time);
        r.setField(Field::FREQ, kFrequencies[i % std::size(kFrequencies)]);
        r.setField(Field::MODE, kModes[i % std::size(kModes)]);
        r.setField(Field::SRST, "59");
        r.setField(Field::MRST, "57");
        r.setField(Field::SQTH, toCp1252(QString::fromUtf8(s.qth)));
        r.setField(Field::SLOC, s.locator);
        r.setField(Field::DEPT, s.dept);
        r.setField(Field::SNOM, toCp1252(QString::fromUtf8(s.name)));
        r.setField(Field::INFO, buildInfo("Merci QSO", i % 4 == 0 ? "VIA BURO" : ""));
        r.setField(Field::MQSL, i % 3 == 0 ? "ENVOYEE" : "");
        r.setField(Field::SQSL, i % 5 == 0 ? "RECUE" : "");
        r.setField(Field::MLOC, config.stationLocator);
        file.appendContact(r, config.stationLocator);
    }
    return dataRoot;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Waits, events running, until `done` holds or `ms` have passed.
bool waitUntil(const std::function<bool()> &done, int ms = 30000)
{
    for (int waited = 0; !done(); waited += 20) {
        if (waited >= ms)
            return false;
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return true;
}

bool save(QWidget *widget, const QDir &folder, const QString &name)
{
    settle();
    const QString path = folder.filePath(name);
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The radio and WSJT-X settings; the dummy radio of Hamlib answers the trial.
bool stationShots(const QDir &folder)
{
    bool ok = true;
    {
        TransceiverDialog dialog(TransceiverSettings{3073, "/dev/ttyUSB0", 19200, {}});
        dialog.show();
        ok &= save(&dialog, folder, QStringLiteral("transceiver.png"));
    }
    {
        TransceiverDialog dialog(TransceiverSettings{1, {}, 0, {}});
        dialog.show();
        dialog.findChild<QPushButton *>(QStringLiteral("BtEssayer"))->click();
        auto *tried = dialog.findChild<QLabel *>(QStringLiteral("LabEssai"));
        waitUntil([tried] { return !tried->text().endsWith(QStringLiteral("…")); }, 5000);
        ok &= save(&dialog, folder, QStringLiteral("transceiver-essai.png"));
    }
    {
        WsjtxDialog dialog(WsjtxSettings{});
        dialog.show();
        ok &= save(&dialog, folder, QStringLiteral("wsjtx.png"));
    }
    return ok;
}

bool mainWindowShot(const QString &root, const QSize &size, const QDir &folder, const QString &name)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    window.resize(size);
    QEventLoop wait;
    QObject::connect(&window, &MainWindow::startupFinished, &wait, &QEventLoop::quit);
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    window.show();
    wait.exec();
    return save(&window, folder, name);
}

void pressEnter(QWidget *widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

// Types `text` key by key into the widget that has the focus.
void typeKeys(const QString &text)
{
    QWidget *widget = QApplication::focusWidget();
    if (!widget)
        return;
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Types `text` into the field that has the focus and confirms it with Enter.
void typeEnter(const QString &text)
{
    typeKeys(text);
    if (QWidget *widget = QApplication::focusWidget())
        pressEnter(widget);
    settle();
}

void clickAt(QWidget *widget, const QPointF &at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    settle();
}

void pressMouse(QWidget *widget)
{
    // A synthetic press does not move the focus as a real one does.
    widget->setFocus(Qt::MouseFocusReason);
    clickAt(widget, QPointF(widget->width() / 2.0, widget->height() / 2.0));
}

bool startWindow(MainWindow &window, const QSize &size)
{
    window.resize(size);
    QEventLoop wait;
    QObject::connect(&window, &MainWindow::startupFinished, &wait, &QEventLoop::quit);
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    window.show();
    window.activateWindow();
    wait.exec();
    return window.startupState() == 0;
}

// A contact being typed: call sign confirmed, the distance measured, the
// remarks half typed in the field that has the focus.
bool entryShot(const QString &root, const QSize &size, const QDir &folder, const QString &name)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, size))
        return false;
    window.findChild<QPushButton *>(QStringLiteral("BtNewQSO"))->click();
    settle();
    typeEnter(QStringLiteral("f5lgj"));
    typeEnter(QStringLiteral("144.300"));
    typeEnter(QStringLiteral("ssb"));
    typeEnter(QString());
    typeEnter(QString());
    typeEnter(QStringLiteral("jean-michel"));
    typeEnter(QStringLiteral("nantes"));
    typeEnter(QStringLiteral("44"));
    typeEnter(QStringLiteral("in97wf"));
    typeKeys(QStringLiteral("tropo"));
    return save(&window, folder, name);
}

// A stored contact whose first name was changed: the question "Modifier la
// fiche"; then, after "&Non", the question of its deletion.
bool confirmationShots(const QString &root, const QDir &folder)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    auto *panel = window.findChild<RecordPanel *>();
    pressMouse(panel->field(12));
    panel->field(12)->selectAll();
    typeEnter(QStringLiteral("pierre-yves"));
    bool ok = save(&window, folder, QStringLiteral("record-modify.png"));
    panel->noButton()->click();
    settle();
    window.findChild<QPushButton *>(QStringLiteral("BtKillFiche"))->click();
    ok &= save(&window, folder, QStringLiteral("record-delete.png"));
    panel->noButton()->click();
    return ok;
}

bool savePage(const std::function<void(PrintSurface &)> &layout, const QDir &folder,
              const QString &name)
{
    // 150 dpi: enough to read the smallest print as it comes out on paper.
    const QString path = folder.filePath(name);
    if (!renderPage(layout, 150).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The same page as the print dialog's PDF printer writes it, to be turned into
// images (pdftoppm) and looked at as the paper will be.
bool savePdf(const std::function<void(PrintSurface &)> &layout, const QDir &folder,
             const QString &name)
{
    const QString path = folder.filePath(name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    PainterSurface surface(painter, printer.resolution());
    layout(surface);
    painter.end();
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A log sheet and a sheet of labels whose every field is as wide as the log
// allows: on paper, nothing may cross a rule.
bool widestPaperShots(const QDir &folder)
{
    const QsoRecord contact = test::widestContact();
    SheetLabels labels;
    for (int n = 1; n <= kLabelCount; ++n)
        labels[std::size_t(n)] = n % 2 ? test::widestLabel() : test::fullestLabel();
    LogPageRequest page;
    page.stationCall = contact.field(Field::CSGN);
    page.firstRecord = 1;
    page.pageNumber = 1;
    page.read = [&](std::int32_t n) -> std::optional<QsoRecord> {
        if (n > 25)
            return QsoRecord::endMarker("JN18EU");
        return n == 25 ? test::fullestContact() : contact;
    };
    const auto logPage = [&](PrintSurface &s) { printLogPage(s, page); };
    const auto labelSheet = [&](PrintSurface &s) { printSheetLabels(s, labels); };
    bool ok = savePage(logPage, folder, QStringLiteral("print-widest-logpage.png"));
    ok &= savePdf(logPage, folder, QStringLiteral("print-widest-logpage.pdf"));
    ok &= savePage(labelSheet, folder, QStringLiteral("print-widest-labels.png"));
    ok &= savePdf(labelSheet, folder, QStringLiteral("print-widest-labels.pdf"));
    return ok;
}

// The QSL cycle under way: four contacts on labels, a torn label withdrawn and
// a fifth label being composed; then the pages as the printer gets them.
bool paperShots(const QString &root, const QDir &folder)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    auto *sheet = window.findChild<LabelSheetPanel *>();
    auto *panel = window.findChild<RecordPanel *>();
    auto startLabel = [&](std::int32_t n) {
        window.showPage(computePageCount(n));
        window.findChild<QListWidget *>(QStringLiteral("ListeLog"))
            ->setCurrentRow((n - 1) % kLinesPerPage);
        settle();
        pressMouse(panel->field(static_cast<int>(Field::MQSL)));
    };
    for (std::int32_t n : {60, 59, 57, 56}) {
        startLabel(n);
        sheet->findChild<QPushButton *>(QStringLiteral("BtValidQSL"))->click();
        settle();
    }
    startLabel(54);
    sheet->findChild<QPushButton *>(QStringLiteral("BtChoix6"))->click();
    sheet->findChild<QRadioButton *>(QStringLiteral("OptDirect"))->click();
    sheet->findChild<QLineEdit *>(QStringLiteral("FLdText9"))->setText(QStringLiteral("DIRECT"));
    bool ok = save(&window, folder, QStringLiteral("labelsheet-in-use.png"));

    SheetLabels labels;
    for (int n = 1; n <= kLabelCount; ++n)
        if (sheet->sheet().state(n) == SlotState::Occupied)
            labels[std::size_t(n)] = sheet->sheet().read(n);
    ok &= savePage([&](PrintSurface &s) { printSheetLabels(s, labels); }, folder,
                   QStringLiteral("print-labels.png"));
    ok &= savePage([&](PrintSurface &s) { printBlankLabels(s, window.stationCall()); }, folder,
                   QStringLiteral("print-blank-labels.png"));

    LogPageRequest page;
    page.stationCall = window.stationCall();
    page.firstRecord = 26;
    page.pageNumber = 2;
    page.read = [&window](std::int32_t n) { return window.logFile().readRecord(n); };
    ok &= savePage([&](PrintSurface &s) { printLogPage(s, page); }, folder,
                   QStringLiteral("print-logpage.png"));
    page.firstRecord = 0;
    ok &= savePage([&](PrintSurface &s) { printLogPage(s, page); }, folder,
                   QStringLiteral("print-blank-sheet.png"));
    return ok;
}

// The label editor holding the longest value of every box, at the smaller
// window size: each must show whole.
bool labelEditorWidestShot(const QString &root, const QDir &folder)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1024, 768)))
        return false;
    window.findChild<QAction *>(QStringLiteral("MnuGestionFeuilleQSL"))->trigger();
    auto *sheet = window.findChild<LabelSheetPanel *>();
    const LabelRecord label = test::widestLabel();
    const std::array<std::pair<int, LabelField>, 10> boxes = {{
        {1, LabelField::CallSign},
        {2, LabelField::Date},
        {3, LabelField::Time},
        {4, LabelField::Frequency},
        {LabelEditor::kModeBox, LabelField::Mode},
        {LabelEditor::kRstBox, LabelField::Rst},
        {7, LabelField::From},
        {8, LabelField::Manager},
        {9, LabelField::Routing},
        {11, LabelField::QsoNumber},
    }};
    for (const auto &[box, field] : boxes)
        sheet->findChild<LabelEditor *>()->box(box)->setText(
            toQString(label.field(field)).toUpper());
    sheet->findChild<QRadioButton *>(QStringLiteral("OptVia"))->click();
    return save(&window, folder, QStringLiteral("labelsheet-widest-1024x768.png"));
}

// The file dialog over the station's folder, files dated as on a known day:
// French all through, whatever the language of the system it runs on.
bool fileDialogShot(const QString &root, const QDir &folder)
{
    const QDir station(nativePath(programFolder(toPath(root))));
    station.mkpath(QStringLiteral("RidEzav"));
    const QDateTime day(QDate(2024, 3, 14), QTime(18, 42));
    const auto fileDay = std::chrono::file_clock::from_sys(
        std::chrono::sys_seconds(std::chrono::seconds(day.toSecsSinceEpoch())));
    std::error_code ignored;
    for (const QString &name : station.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        std::filesystem::last_write_time(station.filePath(name).toStdString(), fileDay, ignored);
    bool ok = false;
    QTimer::singleShot(300, qApp, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        ok = save(dialog, folder, QStringLiteral("filedialog.png"));
        static_cast<QDialog *>(dialog)->reject();
    });
    FileDialogRequest request;
    request.title = QStringLiteral("Ouvrir un log");
    request.initialFolder = station.path();
    request.filter = QStringLiteral("Fichier (*.Ham);;Tous les fichiers (*)");
    askFileName(nullptr, request);
    return ok;
}

// A time server on 127.0.0.1 that answers every question with `time`.
class LoopbackTimeServer : public QObject
{
  public:
    explicit LoopbackTimeServer(UtcTime time) : m_time(time)
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram query = m_socket.receiveDatagram();
                QByteArray reply(48, '\0');
                reply[0] = char((4 << 3) | 4);
                reply[1] = 2;
                reply.replace(24, 8, query.data().mid(40, 8));
                const NtpTimestamp t = toNtp(m_time);
                for (int at : {32, 40})
                    for (int i = 0; i < 4; ++i) {
                        reply[at + i] = char(t.seconds >> (24 - 8 * i));
                        reply[at + 4 + i] = char(t.fraction >> (24 - 8 * i));
                    }
                m_socket.writeDatagram(reply, query.senderAddress(), query.senderPort());
            }
        });
    }
    quint16 port() const { return m_socket.localPort(); }

  private:
    UtcTime m_time;
    QUdpSocket m_socket;
};

// Horalink connected on a summer evening, the computer's clock a little late;
// then asking a computer where nothing listens on the time server's port.
bool horalinkShot(const QDir &folder)
{
    using namespace std::chrono;
    class StillClock : public ComputerClock
    {
      public:
        UtcTime now() const override { return UtcTime(sys_days(2024y / 6 / 14) + 18h + 40min); }
        Steady steadyNow() const override { return {}; }
    } clock;
    class NoSetter : public ClockSetter
    {
      public:
        ClockSetResult set(UtcTime) override { return {ClockSetStatus::Failed, 0}; }
    } setter;
    const SystemZone zone;
    auto connectAndShoot = [&](quint16 port, const QString &name) {
        TimeSetterWindow window(
            TimeSetterParts{TimeServer{"127.0.0.1", port}, clock, setter, zone, false, QString()});
        window.show();
        window.findChild<QPushButton *>(QStringLiteral("BtonConnect"))->click();
        QEventLoop wait;
        QTimer::singleShot(3000, &wait, &QEventLoop::quit);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
            if (!window.isAsking())
                wait.quit();
        });
        poll.start(20);
        wait.exec();
        return save(&window, folder, name);
    };
    quint16 closed = 0;
    {
        LoopbackTimeServer gone(clock.now());
        closed = gone.port();
    }
    LoopbackTimeServer server(clock.now() + 2min + 7s + 500ms);
    bool ok = connectAndShoot(server.port(), QStringLiteral("horalink.png"));
    ok &= connectAndShoot(closed, QStringLiteral("horalink-refused.png"));
    return ok;
}

// The contacts made with F5ABC: found from the search field, then from the
// entry of a new contact with "Voir contacts réalisés".
bool searchShots(const QString &root, const QDir &folder)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("RechText"));
    pressMouse(search);
    typeEnter(QStringLiteral("f5abc"));
    bool ok = save(&window, folder, QStringLiteral("search-call.png"));
    window.findChild<QPushButton *>(QStringLiteral("BtContactsFermer"))->click();
    settle();
    window.findChild<QPushButton *>(QStringLiteral("BtNewQSO"))->click();
    settle();
    typeEnter(QStringLiteral("f5abc"));
    window.findChild<QPushButton *>(QStringLiteral("BtActiveRech"))->click();
    settle();
    ok &= save(&window, folder, QStringLiteral("entry-history.png"));
    return ok;
}

// Answers the file dialogs to come, in turn, with these paths typed into their
// name box (selectFile() alone leaves the box as it is while it has the focus).
void answerFileDialogs(QStringList paths)
{
    if (paths.isEmpty())
        return;
    QTimer::singleShot(20, qApp, [paths] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            answerFileDialogs(paths);
            return;
        }
        dialog->selectFile(paths.first());
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(paths.first());
        QMetaObject::invokeMethod(dialog, "accept");
        // A dialog still open did not take the answer: try again.
        answerFileDialogs(dialog->isVisible() ? paths : paths.mid(1));
    });
}

// Fabribase before and after creating the database of the station's log, then
// Versabase before and after filling it.
bool exportShots(const QString &root, const QDir &folder)
{
    const std::filesystem::path dataRoot(root.toStdString());
    const QString database = nativePath(programFolder(dataRoot) / "F6XYZ.mdb");
    const QString log = nativePath(programFolder(dataRoot) / "F6XYZ.Ham");
    bool ok = true;
    {
        FabribaseWindow window(programFolder(dataRoot));
        window.show();
        ok &= save(&window, folder, QStringLiteral("fabribase.png"));
        answerFileDialogs({database});
        window.findChild<QPushButton *>(QStringLiteral("CmdBtonCreer"))->click();
        ok &= save(&window, folder, QStringLiteral("fabribase-created.png"));
    }
    {
        VersabaseWindow window(dataRoot);
        window.show();
        ok &= save(&window, folder, QStringLiteral("versabase.png"));
        answerFileDialogs({log, database});
        window.findChild<QPushButton *>(QStringLiteral("BtonOuvrirHam"))->click();
        ok &= save(&window, folder, QStringLiteral("versabase-done.png"));
    }
    return ok;
}

// The merge panel open over the log's last page, the list waiting behind it.
bool mergePanelShot(const QString &root, const QSize &size, const QDir &folder, const QString &name)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, size))
        return false;
    auto *merge = window.findChild<QAction *>(QStringLiteral("MnuJumeler"));
    if (!merge)
        return false;
    merge->trigger();
    return save(&window, folder, name);
}

// Another station's log, opened for reading only: the commands that would
// write it are greyed, the title and the caption say so.
bool otherLogShot(const QString &root, const QDir &folder)
{
    const std::filesystem::path other =
        std::filesystem::path(root.toStdString()) / "autres" / "F5ABC.Ham";
    std::filesystem::create_directories(other.parent_path());
    std::filesystem::copy_file(programFolder(std::filesystem::path(root.toStdString())) /
                                   "F6XYZ.Ham",
                               other, std::filesystem::copy_options::overwrite_existing);
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    auto *open = window.findChild<QAction *>(QStringLiteral("MnuAutreF"));
    if (!open)
        return false;
    answerFileDialogs({nativePath(other)});
    open->trigger();
    settle();
    return save(&window, folder, QStringLiteral("other-log-read-only.png"));
}

// An ADIF import held up by a slow disk: the window's commands greyed behind
// the progress dialog and its "Annuler", which is then pressed.
bool adifImportShots(const QString &root, const QDir &folder)
{
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    const QString file = QDir(root).filePath(QStringLiteral("wsjtx_log.adi"));
    {
        std::string text = "<EOH>\n";
        while (text.size() < (2u << 20))
            text += "<CALL:5>F4ABC <QSO_DATE:8>20240314 <TIME_ON:4>1842 <MODE:3>FT8 <EOR>\n";
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(text.data(), static_cast<qint64>(text.size()));
    }
    std::atomic<int> blocks{0};
    std::atomic<bool> released{false};
    setFileReadHook([&] {
        if (++blocks < 4)
            return;
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    answerFileDialogs({file});
    window.findChild<QAction *>(QStringLiteral("MnuImportAdif"))->trigger();
    QProgressDialog *progress = nullptr;
    for (int i = 0; i < 500 && !progress; ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (blocks >= 4)
            progress = window.findChild<QProgressDialog *>(QStringLiteral("ProgressionAdif"));
        if (progress && !progress->isVisible())
            progress = nullptr;
    }
    bool ok = progress != nullptr;
    ok &= save(&window, folder, QStringLiteral("adif-import-window.png"));
    if (progress) {
        ok &= save(progress, folder, QStringLiteral("adif-import-progress.png"));
        // The summary that follows "Annuler" is answered as the operator would,
        // whenever it comes: the import may take a while to stop on a busy machine.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, qApp, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->accept();
        });
        answer.start(20);
        QEventLoop wait;
        auto *adif = window.findChild<AdifCommands *>();
        QObject::connect(adif, &AdifCommands::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(10000, &wait, &QEventLoop::quit);
        progress->cancel();
        released = true;
        wait.exec();
    }
    released = true;
    setFileReadHook({});
    return ok;
}

// Nine years of a French station's log: the bands and modes of the day, most
// contacts in the evening, a third of them French, DX on every continent.
std::filesystem::path makeStatisticsLog(const QString &root)
{
    struct Dx
    {
        const char *call;
        const char *locator;
    };
    static constexpr Dx kDx[] = {
        {"W1AW", "FN31PR"},   {"K6XX", "CM97AJ"},   {"VE3ABC", "FN03GS"}, {"JA1XYZ", "PM95UQ"},
        {"VK2ABC", "QF56OD"}, {"ZL1ABC", "RF72LQ"}, {"ZS6ABC", "KG33XX"}, {"PY2ABC", "GG66PN"},
        {"LU1ABC", "GF05TJ"}, {"UA9ABC", "MO06AX"}, {"4X1ABC", "KM72JB"}, {"VU2ABC", "MK82SX"},
        {"KH6ABC", "BL11BH"}, {"5B4ABC", "KM64PR"}, {"EA8ABC", "IL18QI"}, {"TF3ABC", "HP94BC"},
        {"OH2ABC", "KP20LE"}, {"G4ABC", "IO91WM"},  {"DL1ABC", "JO62QM"}, {"I2ABC", "JN45NK"},
        {"SV1ABC", "KM18UA"}, {"EA4ABC", "IN80DK"}, {"CT1ABC", "IM58KR"}, {"SM5ABC", "JO89XH"},
        {"9V1ABC", "OJ11WI"}, {"HS0ABC", "OK03FS"}, {"BY1ABC", "OM89EW"}, {"KL7ABC", "BP51AE"},
    };
    static constexpr struct
    {
        const char *frequency;
        const char *mode;
    } kActivities[] = {
        {"3.650", "SSB"},   {"7.074", "FT8"},  {"7.088", "SSB"},  {"10.136", "FT8"},
        {"14.074", "FT8"},  {"14.205", "SSB"}, {"14.025", "CW"},  {"18.100", "FT8"},
        {"21.074", "FT8"},  {"21.250", "SSB"}, {"28.480", "SSB"}, {"50.313", "FT8"},
        {"144.300", "SSB"}, {"432.200", "CW"}, {"1.840", "FT8"},  {"24.915", "FT8"},
    };
    const std::filesystem::path folder = programFolder(std::filesystem::path(root.toStdString()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path log = folder / "F6XYZ.Ham";
    LogFile::create(log, "JN18EU");
    LogFile file;
    file.open(log);
    std::mt19937 random(1946);
    for (int i = 0; i < 2400; ++i) {
        QsoRecord r;
        const auto &activity = kActivities[random() % std::size(kActivities)];
        const bool french = random() % 3 == 0;
        char text[40];
        const int year = 16 + int(std::sqrt(double(random() % 81)));
        std::snprintf(text, sizeof text, "%02d/%02d/%02d", int(random() % 28 + 1),
                      int(random() % 12 + 1), year);
        r.setField(Field::DQSO, text);
        // Evenings and week-end mornings are the busy hours.
        const int hour = random() % 3 == 0 ? int(random() % 24) : int(17 + random() % 6) % 24;
        std::snprintf(text, sizeof text, "%02d:%02d", hour, int(random() % 60));
        r.setField(Field::HDEB, text);
        r.setField(Field::FREQ, activity.frequency);
        r.setField(Field::MODE, activity.mode);
        if (french) {
            std::snprintf(text, sizeof text, "F%d%c%c%c", int(random() % 9 + 1),
                          'A' + int(random() % 26), 'A' + int(random() % 26),
                          'A' + int(random() % 26));
            r.setField(Field::CSGN, text);
            // Some départements are rarely heard: the grid keeps a few gaps.
            const int dept = int(random() % 95) + 1;
            if (dept % 13 != 0) {
                r.setField(Field::DEPT, std::to_string(dept));
                if (dept == 20)
                    r.setField(Field::DEPT, random() % 2 ? "2A" : "2B");
            }
            std::snprintf(text, sizeof text, "%s%d%d%c%c", random() % 2 ? "JN" : "IN",
                          int(random() % 4 + 2), int(random() % 5 + 3), 'A' + int(random() % 24),
                          'A' + int(random() % 24));
            r.setField(Field::SLOC, text);
        } else {
            const Dx &dx = kDx[random() % std::size(kDx)];
            r.setField(Field::CSGN, dx.call);
            if (random() % 4 != 0)
                r.setField(Field::SLOC, dx.locator);
        }
        r.setField(Field::SRST, "59");
        r.setField(Field::MRST, "59");
        if (random() % 7 == 0) {
            std::snprintf(text, sizeof text, "%02d/%02d/%02d", int(random() % 28 + 1),
                          int(random() % 12 + 1), std::min(24, year + 1));
            r.setField(Field::SQSL, text);
        }
        r.setField(Field::MLOC, "JN18EU");
        file.appendContact(r, "JN18EU");
    }
    return log;
}

// The three views of the "Statistiques" window on that log.
bool statisticsShots(const QString &root, const QDir &folder)
{
    // Figures written as Ondelog writes them, "2 400", whatever the machine.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    LogFile log;
    log.openReadOnly(makeStatisticsLog(root));
    StatisticsWindow window(log, "JN18EU");
    window.resize(1100, 800);
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("OngletsStatistiques"));
    auto *choice = window.findChild<QComboBox *>(QStringLiteral("LstGraphique"));
    choice->setCurrentIndex(1);
    bool ok = save(&window, folder, QStringLiteral("statistics-bands.png"));
    choice->setCurrentIndex(0);
    ok &= save(&window, folder, QStringLiteral("statistics-years.png"));
    choice->setCurrentIndex(3);
    ok &= save(&window, folder, QStringLiteral("statistics-hours.png"));
    ok &= savePage([&](PrintSurface &s) { window.printPage(s); }, folder,
                   QStringLiteral("print-statistics.png"));
    tabs->setCurrentIndex(1);
    ok &= save(&window, folder, QStringLiteral("statistics-award.png"));
    // The largest window a 1024 x 768 screen holds: every name still whole.
    window.resize(1024, 728);
    ok &= save(&window, folder, QStringLiteral("statistics-award-1024x768.png"));
    tabs->setCurrentIndex(0);
    ok &= save(&window, folder, QStringLiteral("statistics-hours-1024x768.png"));
    window.resize(1100, 800);
    tabs->setCurrentIndex(2);
    settle();
    // The mouse over New York: its azimuth and distance under the map's title.
    StationMap *map = window.map();
    const QPointF at = map->toWidget(map->projection().project({40.7, 74.0}));
    QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(map, &move);
    ok &= save(&window, folder, QStringLiteral("statistics-map.png"));
    QLocale::setDefault(before);
    return ok;
}

// The live station at work: WSJT-X on 40 m FT8 and the radio on 7.074 MHz
// shown at the window's foot, a contact just received from WSJT-X; then a
// contact typed, the radio's frequency offered, and WSJT-X logging another
// one meanwhile.
bool liveStationShots(const QString &root, const QDir &folder)
{
    makeStation(root, 60);
    WsjtxSettings listening;
    listening.port = 0; // any free port: WSJT-X is played here
    LiveStation::setDefaultWsjtxSettings(listening);
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    const bool started = startWindow(window, QSize(1280, 800));
    WsjtxSettings silent;
    silent.enabled = false;
    LiveStation::setDefaultWsjtxSettings(silent);
    auto *live = window.findChild<LiveStation *>();
    if (!started || !live || !live->listener().isListening()) {
        std::fprintf(stderr, "live station: the window does not listen for WSJT-X\n");
        return false;
    }

    // The dummy radio set as an FT8 operator's; Hamlib's dummy in this
    // process (145.000 FM, its own knobs out of reach) when rigctld is missing.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
    std::optional<test::Rigctld> rigctld;
    if (!program.isEmpty())
        rigctld.emplace(program);
    if (rigctld && rigctld->isReady() && rigctld->command(QStringLiteral("F 7074000")) &&
        rigctld->command(QStringLiteral("M USB 0")))
        live->changeTransceiver({kRigctldRadioModel, {}, 0, rigctld->address()});
    else
        live->changeTransceiver({1, {}, 0, {}});

    const quint16 port = live->listener().port();
    QUdpSocket wsjtx;
    const auto send = [&](const std::string &datagram) {
        wsjtx.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()),
                            QHostAddress::LocalHost, port);
    };
    test::LoggedContact contact;
    contact.call = "G4XYZ";
    contact.grid = "IO91";
    contact.frequencyHz = 7074000;
    contact.minute = 38;
    send(test::heartbeat());
    send(test::status(7074000, "FT8"));
    send(test::qsoLogged(contact));
    send(test::loggedAdif(contact));
    // The line at the window's foot is made when it first has something to say.
    StationLine *line = nullptr;
    const bool shown = waitUntil([&] {
        line = window.findChild<StationLine *>(QStringLiteral("PictStation"));
        const auto *radio = window.findChild<QLabel *>(QStringLiteral("LabTransceiver"));
        return line && radio && !line->notice().isEmpty() &&
               radio->text().contains(QLatin1Char('.'));
    });
    if (!shown)
        std::fprintf(stderr, "live station: no notice or radio line within 30 s\n");
    bool ok = shown && save(&window, folder, QStringLiteral("live-station.png"));

    if (!ok)
        return false;
    window.findChild<QPushButton *>(QStringLiteral("BtNewQSO"))->click();
    settle();
    typeEnter(QStringLiteral("ea3xyz"));
    contact.call = "F4HZQ";
    contact.grid = "JN03";
    contact.minute = 40;
    send(test::qsoLogged(contact));
    send(test::loggedAdif(contact));
    ok &= waitUntil([&] { return line->notice().startsWith(QStringLiteral("F4HZQ")); });
    ok &= save(&window, folder, QStringLiteral("live-station-entry.png"));
    return ok;
}

// The operator opens Liste > Statistiques and clicks the bar of 20m: the
// main window's contacts panel lists the contacts behind it.
bool statisticsListShot(const QString &root, const QDir &folder)
{
    const std::filesystem::path log = makeStatisticsLog(root);
    const Configuration config = makeConfiguration("F6XYZ", "JN18EU");
    if (log.filename() != config.logFileName)
        return false;
    writeConfiguration(log.parent_path() / kConfigFileName, config);
    const FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
    MainWindow window(std::filesystem::path(root.toStdString()), clock);
    if (!startWindow(window, QSize(1280, 800)))
        return false;
    auto *menuItem = window.findChild<QAction *>(QStringLiteral("MnuStatistiques"));
    if (!menuItem)
        return false;
    menuItem->trigger();
    settle();
    auto *statistics = window.findChild<StatisticsWindow *>(QStringLiteral("FenStatistiques"));
    if (!statistics)
        return false;
    statistics->resize(1100, 800);
    statistics->findChild<QComboBox *>(QStringLiteral("LstGraphique"))->setCurrentIndex(1);
    settle();
    const auto &bands = statistics->statistics().bands;
    const auto twenty =
        std::find_if(bands.begin(), bands.end(), [](const Tally &t) { return t.label == "20m"; });
    if (twenty == bands.end())
        return false;
    clickAt(statistics->chartView()->viewport(),
            test::barCentre(statistics->chartView(), int(twenty - bands.begin())));
    bool ok = save(statistics, folder, QStringLiteral("statistics-bar-clicked.png"));
    ok &= save(&window, folder, QStringLiteral("statistics-contacts.png"));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // As the programs start: French dialogs whatever the system's language.
    setUpSuiteApplication(app, QStringLiteral("Ondelog"), QStringLiteral("ondelog"),
                          QStringLiteral("org.ondelog.Ondelog"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: ondelog_screenshots <folder>\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    setPauseMilliseconds(0);
    // The windows shown listen to no WSJT-X but the one the live station's shot sends.
    WsjtxSettings silent;
    silent.enabled = false;
    LiveStation::setDefaultWsjtxSettings(silent);
    QTemporaryDir temp;
    bool ok = true;

    const QString empty = temp.filePath(QStringLiteral("empty"));
    makeStation(empty, 0);
    ok &= mainWindowShot(empty, QSize(1280, 800), folder, QStringLiteral("mainwindow-empty.png"));

    const QString full = temp.filePath(QStringLiteral("sixty"));
    makeStation(full, 60);
    ok &= mainWindowShot(full, QSize(1280, 800), folder, QStringLiteral("mainwindow-60.png"));
    ok &= mainWindowShot(full, QSize(1024, 768), folder,
                         QStringLiteral("mainwindow-60-1024x768.png"));
    ok &= entryShot(full, QSize(1280, 800), folder, QStringLiteral("entry-in-use.png"));
    ok &= entryShot(full, QSize(1024, 768), folder, QStringLiteral("entry-in-use-1024x768.png"));
    ok &= confirmationShots(full, folder);
    ok &= searchShots(full, folder);
    ok &= paperShots(full, folder);
    ok &= widestPaperShots(folder);
    ok &= labelEditorWidestShot(full, folder);
    ok &= fileDialogShot(full, folder);
    ok &= exportShots(full, folder);
    ok &= mergePanelShot(full, QSize(1280, 800), folder, QStringLiteral("merge-panel.png"));
    ok &=
        mergePanelShot(full, QSize(1024, 768), folder, QStringLiteral("merge-panel-1024x768.png"));
    ok &= otherLogShot(full, folder);
    ok &= adifImportShots(full, folder);

    {
        const QString fresh = temp.filePath(QStringLiteral("fresh"));
        FirstRunDialog dialog(std::filesystem::path(fresh.toStdString()));
        dialog.show();
        settle();
        save(&dialog, folder, QStringLiteral("firstrun.png"));
        auto *call = dialog.findChild<QLineEdit *>(QStringLiteral("Dlg1Fra2Text1"));
        auto *locator = dialog.findChild<QLineEdit *>(QStringLiteral("Dlg1Fra2Text2"));
        call->setText(QStringLiteral("F6XYZ"));
        pressEnter(call);
        locator->setText(QStringLiteral("JN18EU"));
        pressEnter(locator);
        ok &= save(&dialog, folder, QStringLiteral("firstrun-filled.png"));
    }
    {
        LocatorDialog dialog("JN18EU");
        dialog.show();
        ok &= save(&dialog, folder, QStringLiteral("locatordialog.png"));
    }
    {
        AboutDialog dialog(std::filesystem::path(temp.path().toStdString()));
        dialog.show();
        settle();
        ok &= save(&dialog, folder, QStringLiteral("about.png"));
    }
    {
        SettingsDialog dialog(
            std::filesystem::path(temp.filePath(QStringLiteral("Ondelog")).toStdString()));
        dialog.show();
        settle();
        ok &= save(&dialog, folder, QStringLiteral("settings.png"));
    }
    ok &= stationShots(folder);
    ok &= liveStationShots(temp.filePath(QStringLiteral("live")), folder);
    ok &= horalinkShot(folder);
    ok &= statisticsShots(temp.filePath(QStringLiteral("statistics")), folder);
    ok &= statisticsListShot(temp.filePath(QStringLiteral("statistics-list")), folder);
    return ok ? 0 : 1;
}
