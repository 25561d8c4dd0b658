// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Versabase's one window: copies every contact of a log into the table FicheQSO
// of the database Fabribase created for it, named like the log with ".mdb".
// The operator first starts Fabribase from here, then picks the log; the rows
// are added after those already in the table.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ondelog {

/** What opens the SQLite file on this computer: the programs found among
 *  `searchPaths` (the system's PATH when empty), else one to install. */
QString sqliteOpeners(const QStringList &searchPaths = {});

class VersabaseWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit VersabaseWindow(const std::filesystem::path &dataRoot, QWidget *parent = nullptr);

    /** The chosen log holds an end marker; recordCount() contacts precede it. */
    bool isLogReady() const { return m_logReady; }
    std::int32_t recordCount() const { return m_recordCount; }

  private:
    QWidget *buildMenuPanel();
    QWidget *buildFieldsPanel();
    QWidget *buildResultPanel();
    void openLog();
    bool chooseLog();
    void convert();

    std::filesystem::path m_dataRoot;
    std::filesystem::path m_programFolder;
    QString m_logPath;
    QString m_baseName;
    bool m_logReady = false;
    std::int32_t m_recordCount = 0;

    QFrame *m_menu = nullptr;
    std::array<QLineEdit *, 16> m_fields{};
    QFrame *m_result = nullptr;
    QLabel *m_result1 = nullptr;
    QLabel *m_result2 = nullptr;
};

} // namespace ondelog
