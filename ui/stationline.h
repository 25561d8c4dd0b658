// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live station's part of the status line at the foot of the main window:
// what became of the last contact received ("F5ABC 14.074 FT8 ajouté depuis
// WSJT-X", the earlier ones in its tooltip), which program sends and what it
// reports, and what the radio says.

#include <QFrame>
#include <QString>
#include <QStringList>

class QLabel;

namespace ondelog {

class ElidingLabel;

class StationLine : public QFrame
{
    Q_OBJECT

  public:
    explicit StationLine(QWidget *parent = nullptr);

    /** Shows `text` (LabAvis), as a warning when `problem`; `time` ("18:42")
     *  dates it in the list of the last notices. */
    void addNotice(const QString &text, bool problem, const QString &time);
    QString notice() const;
    /** The notices since the start, the latest first, at most kHistory. */
    const QStringList &history() const { return m_history; }
    static constexpr int kHistory = 20;

    /** What is said of WSJT-X and JTDX (LabWsjtx), hidden when empty; `detail`
     *  goes into its tooltip. */
    void setWsjtx(const QString &text, bool problem, const QString &detail = {});
    /** What is said of the radio (LabTransceiver), hidden when empty. */
    void setRadio(const QString &text, bool problem);

  private:
    ElidingLabel *m_notice = nullptr;
    QLabel *m_wsjtx = nullptr;
    QLabel *m_radio = nullptr;
    QFrame *m_divider = nullptr;
    QStringList m_history;
};

} // namespace ondelog
