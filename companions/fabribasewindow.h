// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fabribase's one window: creates the contact database (the table FicheQSO)
// under the name the operator chooses, normally the log's name with ".mdb", in
// the program folder. Versabase then fills it.

#include <QWidget>

#include <filesystem>

class QLabel;
class QPushButton;

namespace ondelog {

class FabribaseWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit FabribaseWindow(const std::filesystem::path &programFolder, QWidget *parent = nullptr);

    /** The database file name: "Indicatif.MDB" until one is chosen. */
    const QString &fileName() const { return m_fileName; }

  private:
    QWidget *buildTablePanel();
    void create();
    bool createDatabase();
    void restoreStart();

    std::filesystem::path m_programFolder;
    QString m_fileName;
    QString m_fileTitle;
    QPushButton *m_create = nullptr;
    QPushButton *m_quit = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_detail = nullptr;
};

} // namespace ondelog
