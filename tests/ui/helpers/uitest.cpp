// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/helpers/uitest.h"

#include "logbook/logfile.h"
#include "setup/config.h"
#include "setup/dataroot.h"
#include "ui/application.h"
#include "ui/livestation.h"
#include "ui/pause.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace ondelog::test {

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says at every fixed-size dialog that it cannot pass
// size hints on; that says nothing about the program.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

void initWindowTests()
{
    // As the programs do: Qt's own dialogs in French.
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        loadFrenchTranslation(*app);
    setPauseMilliseconds(5);
    // A window under test never takes port 2237 from the machine's WSJT-X, nor
    // its contacts; the tests of the live station listen on ports of their own.
    WsjtxSettings silent;
    silent.enabled = false;
    LiveStation::setDefaultWsjtxSettings(silent);
    g_previousHandler = qInstallMessageHandler(quietHandler);
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

DataRoot::DataRoot()
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
}

std::filesystem::path DataRoot::root() const
{
    return std::filesystem::path(m_dir.path().toStdString());
}

std::filesystem::path DataRoot::programFolder() const
{
    return ondelog::programFolder(root());
}

std::filesystem::path DataRoot::configPath() const
{
    return programFolder() / kConfigFileName;
}

std::filesystem::path DataRoot::logPath(const std::string &fileName) const
{
    return programFolder() / fileName;
}

QsoRecord testContact(int i)
{
    QsoRecord r;
    char text[32];
    std::snprintf(text, sizeof text, "F%04d", i);
    r.setField(Field::CSGN, text);
    std::snprintf(text, sizeof text, "%02d/%02d/24", 1 + i % 28, 1 + (i / 28) % 12);
    r.setField(Field::DQSO, text);
    std::snprintf(text, sizeof text, "%02d:%02d", i % 24, i % 60);
    r.setField(Field::HDEB, text);
    r.setField(Field::HFIN, text);
    r.setField(Field::FREQ, "14.205");
    r.setField(Field::MODE, "SSB");
    r.setField(Field::SRST, "59");
    r.setField(Field::MRST, "57");
    r.setField(Field::SQTH, "Rennes");
    r.setField(Field::SLOC, "IN98GC");
    r.setField(Field::DEPT, "35");
    r.setField(Field::SNOM, "Yves");
    r.setField(Field::INFO, buildInfo("MERCI", "VIA BURO"));
    r.setField(Field::MQSL, "");
    r.setField(Field::SQSL, "");
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

void writeLog(const std::filesystem::path &path, int contacts, const std::string &locator)
{
    std::vector<QsoRecord> records;
    for (int i = 1; i <= contacts; ++i)
        records.push_back(testContact(i));
    writeRecords(path, records, locator);
}

void writeRecords(const std::filesystem::path &path, const std::vector<QsoRecord> &records,
                  const std::string &locator)
{
    // Written byte for byte, so that the tests do not depend on the log code
    // they exercise through the window.
    std::string bytes;
    for (const QsoRecord &record : records)
        bytes.append(record.bytes().data(), record.bytes().size());
    const QsoRecord marker = QsoRecord::endMarker(locator);
    bytes.append(marker.bytes().data(), marker.bytes().size());
    writeBytes(path, bytes);
}

void writeStation(const DataRoot &root, int contacts, const std::string &call,
                  const std::string &locator)
{
    std::filesystem::create_directories(root.programFolder());
    const Configuration config = makeConfiguration(call, locator);
    writeConfiguration(root.configPath(), config);
    writeLog(root.logPath(config.logFileName), contacts, locator);
}

std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

int g_watchGeneration = 0;

void poll(int generation, std::shared_ptr<QElapsedTimer> clock,
          std::function<bool(QWidget *)> match, std::function<void(QWidget *)> action,
          int timeoutMs)
{
    if (generation != g_watchGeneration)
        return;
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && match(modal)) {
        action(modal);
        return;
    }
    if (clock->elapsed() > timeoutMs)
        return;
    QTimer::singleShot(5, qApp, [=] { poll(generation, clock, match, action, timeoutMs); });
}

} // namespace

void whenModal(std::function<bool(QWidget *)> match, std::function<void(QWidget *)> action,
               int timeoutMs)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const int generation = g_watchGeneration;
    QTimer::singleShot(0, qApp, [=] { poll(generation, clock, match, action, timeoutMs); });
}

void cancelModalWatches()
{
    ++g_watchGeneration;
}

void whenModalNamed(const QString &objectName, std::function<void(QWidget *)> action)
{
    whenModal([objectName](QWidget *w) { return w->objectName() == objectName; },
              std::move(action));
}

void answerNextMessageBox(QString *title, QString *text, bool *answered)
{
    whenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
              [=](QWidget *w) {
                  auto *box = static_cast<QMessageBox *>(w);
                  if (title)
                      *title = box->windowTitle();
                  if (text)
                      *text = box->text();
                  if (answered)
                      *answered = true;
                  box->buttons().first()->click();
              });
}

void StationWindowTest::startWith(const std::vector<QsoRecord> &records)
{
    writeStation(*m_root, 0);
    writeRecords(m_root->logPath(), records);
    m_window = std::make_unique<MainWindow>(m_root->root(), m_clock);
    m_window->resize(1280, 800);
    showActive(m_window.get());
    QVERIFY(QTest::qWaitFor([&] { return m_window->startupState() == 0; }, 5000));
}

void StationWindowTest::start(int contacts)
{
    writeStation(*m_root, contacts);
    m_window = std::make_unique<MainWindow>(m_root->root(), m_clock);
    m_window->resize(1280, 800);
    showActive(m_window.get());
    QVERIFY(QTest::qWaitFor([&] { return m_window->startupState() == 0; }, 5000));
}

QLineEdit *StationWindowTest::field(int i)
{
    return get<QLineEdit>(QStringLiteral("TxtField%1").arg(i));
}

QPushButton *StationWindowTest::button(const char *name)
{
    return get<QPushButton>(QString::fromLatin1(name));
}

int StationWindowTest::selectedRecord()
{
    const QListWidgetItem *line = get<QListWidget>(QStringLiteral("ListeLog"))->currentItem();
    return line ? line->data(Qt::UserRole).toInt() : 0;
}

QString StationWindowTest::label(const char *name)
{
    return get<QLabel>(QString::fromLatin1(name))->text();
}

std::string StationWindowTest::logBytes() const
{
    return readBytes(m_root->logPath());
}

} // namespace ondelog::test
