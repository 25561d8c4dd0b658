// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/printjob.h"

#include "ui/paintersurface.h"
#include "ui/waitcursor.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace ondelog {

namespace {

PrintJob::Runner &testRunner()
{
    static PrintJob::Runner runner;
    return runner;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

PrintJob::PrintJob(QWidget *parent)
    : QObject(parent), m_parent(parent),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    resetPage();
}

PrintJob::~PrintJob() = default;

void PrintJob::setRunnerForTests(Runner runner)
{
    testRunner() = std::move(runner);
}

void PrintJob::resetPage()
{
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    m_printer->setFullPage(false);
    m_printer->setCopyCount(1);
}

void PrintJob::proposePdfFile(const QString &documentName)
{
    // Printing to a PDF file (the only choice on a computer with no printer),
    // Qt's print dialog offers a name made from the current folder, on some
    // desktops the folder itself, which cannot be written: "Imprimer" would
    // fail at once. A real name is offered instead; the one the operator chose
    // is kept for the following jobs.
    if (m_printer->outputFormat() != QPrinter::PdfFormat)
        return;
    const QString chosen = m_printer->outputFileName();
    if (!chosen.isEmpty() && !QFileInfo(chosen).isDir())
        return;
    QString name = documentName;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    m_printer->setOutputFileName(QDir(documentsFolder()).filePath(name + QStringLiteral(".pdf")));
}

void PrintJob::configure()
{
    proposePdfFile(QStringLiteral("Ondelog"));
    NormalCursor normal;
    QPrintDialog dialog(m_printer.get(), m_parent);
    dialog.setObjectName(QStringLiteral("ConfigurerImprimante"));
    dialog.setWindowTitle(QStringLiteral("Configurer imprimante"));
    dialog.exec();
    // The sheets are drawn for A4 portrait whatever was chosen.
    resetPage();
}

bool PrintJob::paint(QPrinter *printer, const Layout &layout)
{
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    PainterSurface surface(painter, printer->resolution());
    layout(surface);
    painter.end();
    return printer->printerState() != QPrinter::Error &&
           printer->printerState() != QPrinter::Aborted;
}

PrintOutcome PrintJob::run(const QString &title, const Layout &layout)
{
    m_lastError.clear();
    if (testRunner()) {
        const PrintOutcome outcome = testRunner()(layout);
        if (outcome == PrintOutcome::Failed)
            m_lastError = QStringLiteral("L'imprimante a refusé le travail.");
        return outcome;
    }

    resetPage();
    m_printer->setDocName(title);
    proposePdfFile(title);
    NormalCursor normal;
    QPrintPreviewDialog preview(m_printer.get(), m_parent);
    preview.setObjectName(QStringLiteral("ApercuImpression"));
    preview.setWindowTitle(QStringLiteral("Aperçu avant impression : ") + title);
    preview.resize(900, 1000);
    bool failed = false;
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *printer) {
        // The preview draws on its own engine; only the real print can fail.
        if (!paint(printer, layout))
            failed = true;
    });
    const int answer = preview.exec();
    if (answer != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    if (failed) {
        m_lastError = m_printer->outputFormat() == QPrinter::PdfFormat
                          ? QStringLiteral("Le fichier PDF %1 ne peut pas être écrit.")
                                .arg(m_printer->outputFileName())
                          : QStringLiteral("L'imprimante %1 a refusé le travail.")
                                .arg(m_printer->printerName());
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

} // namespace ondelog
