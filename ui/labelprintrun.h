// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing the label sheet and checking the printout (PictCtrlImpression):
// the occupied labels go to the printer, and ten seconds later the operator is
// asked whether they came out right, which confirms them or sends them back
// to the sheet. The blank labels to stick on cards print here too.

#include "printing/labelprint.h"
#include "ui/printjob.h"

#include <QFrame>

#include <string>

namespace ondelog {

class LabelPrintRun : public QFrame
{
    Q_OBJECT

  public:
    LabelPrintRun(PrintJob &printJob, QWidget *parent = nullptr);

    /** Prints `labels`; the operator's outcome. */
    PrintOutcome printLabels(const SheetLabels &labels);
    /** Leaves the printer its ten seconds, then asks for the check (this panel). */
    void awaitCheck();
    /** The blank labels of `stationCall`; a printout is given its ten seconds. */
    PrintOutcome printBlank(const std::string &stationCall);
    /** French sentence for the last failure. */
    QString lastError() const { return m_printJob.lastError(); }

  signals:
    /** "Tout est parfait". */
    void allPerfect();
    /** "Des étiquettes sont à revoir". */
    void reviewAsked();

  private:
    PrintJob &m_printJob;
};

} // namespace ondelog
