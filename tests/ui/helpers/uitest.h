// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the window tests: a temporary data root with a station in
// it, contacts whose every field is known, and the answering of modal windows
// (which block the test until someone closes them).

#include "geo/calendar.h"
#include "logbook/record.h"
#include "ui/mainwindow.h"

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <QtGlobal>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace ondelog::test {

/** The child of `parent` with that objectName; the test stops when there is none,
 *  so a renamed control fails loudly instead of crashing on a null pointer. */
template <typename T = QWidget> T *child(QObject *parent, const QString &name)
{
    auto *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

/** Shortens every pause and fixes what the tests must not inherit from the machine. */
void initWindowTests();

/** Shows `window` and waits until it is the active window, so that focus moves
 *  as it would on a desktop. False when it never became active. */
bool showActive(QWidget *window);

/** Types `text` into `widget` key by key, as QTest::keyClicks does, but also
 *  for characters beyond ASCII (accented letters, which keyClicks refuses). */
void typeText(QWidget *widget, const QString &text);

/** A data root in a temporary folder, removed with the object. */
class DataRoot
{
  public:
    DataRoot();
    std::filesystem::path root() const;
    std::filesystem::path programFolder() const;
    std::filesystem::path configPath() const;
    std::filesystem::path logPath(const std::string &fileName = "F6XYZ.Ham") const;

  private:
    QTemporaryDir m_dir;
};

/** Contact i of the test logs: call sign "F" + i in four digits, date, times, locator... */
QsoRecord testContact(int i);

/** A log of `contacts` test contacts and its end marker holding `locator`. */
void writeLog(const std::filesystem::path &path, int contacts,
              const std::string &locator = "JN18EU");

/** A log of exactly these records, then the end marker holding `locator`. */
void writeRecords(const std::filesystem::path &path, const std::vector<QsoRecord> &records,
                  const std::string &locator = "JN18EU");

/** The configuration and the log of a station, as a first run would leave them,
 *  with `contacts` contacts already logged. */
void writeStation(const DataRoot &root, int contacts, const std::string &call = "F6XYZ",
                  const std::string &locator = "JN18EU");

std::string readBytes(const std::filesystem::path &path);
void writeBytes(const std::filesystem::path &path, const std::string &bytes);

/** Runs `action` on the first modal window that `match` accepts, as soon as it is
 *  up (polled from the event loop; gives up after `timeoutMs`). */
void whenModal(std::function<bool(QWidget *)> match, std::function<void(QWidget *)> action,
               int timeoutMs = 10000);
/** Stops every watch of whenModal() still waiting, so that none outlives its test. */
void cancelModalWatches();

/** Runs `action` on the next modal window with that objectName. */
void whenModalNamed(const QString &objectName, std::function<void(QWidget *)> action);

/** Reads the next message box into `title` and `text` (if given) and presses its
 *  first button. `answered` (if given) is set once done. */
void answerNextMessageBox(QString *title = nullptr, QString *text = nullptr,
                          bool *answered = nullptr);

/** Base of the tests that drive a station's main window: a temporary data root
 *  (made by the test's init()), a fixed clock and the named controls. */
class StationWindowTest : public QObject
{
  protected:
    FixedClock m_clock{makeDateTime(2024, 3, 14, 18, 42, 7)};
    std::unique_ptr<DataRoot> m_root;
    std::unique_ptr<MainWindow> m_window;

    /** Writes a station with `contacts` contacts and starts its main window at 1280x800. */
    void start(int contacts);
    /** The same with a log of exactly these records. */
    void startWith(const std::vector<QsoRecord> &records);

    template <typename T = QWidget> T *get(const QString &name)
    {
        return child<T>(m_window.get(), name);
    }
    QLineEdit *field(int i);
    QPushButton *button(const char *name);
    /** Record number the selected line of the log list stands for, 0 when none. */
    int selectedRecord();
    QString label(const char *name);
    std::string logBytes() const;
};

} // namespace ondelog::test
