// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/labelprintrun.h"

#include "ui/controls.h"
#include "ui/pause.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ondelog {

namespace {

// The printer is left this long with the sheet before the check is asked for.
constexpr int kPrintingSeconds = 10;

} // namespace

LabelPrintRun::LabelPrintRun(PrintJob &printJob, QWidget *parent)
    : QFrame(parent), m_printJob(printJob)
{
    setObjectName(QStringLiteral("PictCtrlImpression"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(255, 250, 205));
    setPalette(background);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Contrôle de l'impression"), this);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    layout->addWidget(new QLabel(
        QStringLiteral("Vérifiez les étiquettes imprimées avant de les confirmer."), this));
    auto *row = new QHBoxLayout;
    auto *perfect =
        makeButton(QStringLiteral("Tout est parfait"), QStringLiteral("BtCtrl_Parfait"), this);
    auto *review = makeButton(QStringLiteral("Des étiquettes sont à revoir"),
                              QStringLiteral("BtCtrl_Revoir"), this);
    row->addWidget(perfect);
    row->addWidget(review);
    row->addStretch(1);
    layout->addLayout(row);
    connect(perfect, &QPushButton::clicked, this, &LabelPrintRun::allPerfect);
    connect(review, &QPushButton::clicked, this, &LabelPrintRun::reviewAsked);
    hide();
}

PrintOutcome LabelPrintRun::printLabels(const SheetLabels &labels)
{
    return m_printJob.run(QStringLiteral("Etiquettes QSL"),
                          [&labels](PrintSurface &surface) { printSheetLabels(surface, labels); });
}

void LabelPrintRun::awaitCheck()
{
    QPointer<LabelPrintRun> self(this);
    pauseSeconds(kPrintingSeconds);
    if (self)
        show();
}

PrintOutcome LabelPrintRun::printBlank(const std::string &stationCall)
{
    QPointer<LabelPrintRun> self(this);
    const PrintOutcome outcome =
        m_printJob.run(QStringLiteral("Etiquettes vierges"), [&stationCall](PrintSurface &surface) {
            printBlankLabels(surface, stationCall);
        });
    if (self && outcome == PrintOutcome::Printed)
        pauseSeconds(kPrintingSeconds);
    return outcome;
}

} // namespace ondelog
