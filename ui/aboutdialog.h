// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: what Ondelog is, its version, and the facts a helper on the
// other end of a support request needs (versions, system, where the data is).

#include <QDialog>

#include <filesystem>

namespace ondelog {

class AboutDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit AboutDialog(const std::filesystem::path &dataRoot, QWidget *parent = nullptr);

    /** Program version, Qt version, operating system and data root, one per line. */
    static QString systemInformation(const std::filesystem::path &dataRoot);

  private:
    void showSystemInformation();

    std::filesystem::path m_dataRoot;
};

} // namespace ondelog
