// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first-run window: asks for the call sign and the station locator, then
// creates the program folder, the log and the configuration file. A log that
// already exists under that name is kept as it is: only the configuration is
// written, so a lost configuration never costs a contact.

#include "setup/config.h"

#include <QDialog>

#include <filesystem>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ondelog {

class FirstRunDialog : public QDialog
{
    Q_OBJECT

  public:
    /** Result when the operator stops everything ("Tout arrêter !!"); closing the
     *  window gives the same. Accepted means the configuration is written. */
    static constexpr int StopProgram = 2;

    FirstRunDialog(const std::filesystem::path &dataRoot, QWidget *parent = nullptr);

    /** The configuration written (after Accepted). */
    const Configuration &configuration() const { return m_config; }
    /** Whether the log file was there already and was kept. */
    bool keptExistingLog() const { return m_keptExistingLog; }

    /** The notice shown in the window, one line per entry. */
    static QStringList noticeLines();

    void reject() override;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void takeCallSign();
    void keepTypedCallSign();
    void showConfirmation();
    void takeLocator();
    void openLocatorDialog();
    void validate();
    std::filesystem::path logPath() const;

    std::filesystem::path m_dataRoot;
    std::filesystem::path m_programFolder;
    std::string m_callSign;       // Windows-1252, trimmed, upper case
    std::string m_stationLocator; // a valid locator once taken
    Configuration m_config;
    bool m_keptExistingLog = false;
    bool m_showingError = false;

    QLabel *m_disk = nullptr;
    QLineEdit *m_callSignEdit = nullptr;
    QLineEdit *m_locatorEdit = nullptr;
    QPushButton *m_locatorButton = nullptr;
    QPlainTextEdit *m_notice = nullptr;
    QPushButton *m_stop = nullptr;
    QFrame *m_confirm = nullptr;
    QLabel *m_pathLabel = nullptr;
    QPushButton *m_validate = nullptr;
};

} // namespace ondelog
