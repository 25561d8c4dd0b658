// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One printer for all of Ondelog's paper: chosen once with "Configurer
// imprimante", then used by every job. A job first shows the page in Qt's
// print preview; printing from there asks for the printer (a real one or a PDF
// file, offered under the document's name in the documents folder, then under
// the name chosen last). Closing the preview or the print dialog cancels the job.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace ondelog {

class PrintSurface;

enum class PrintOutcome
{
    Printed,
    Cancelled,
    Failed,
};

class PrintJob : public QObject
{
    Q_OBJECT

  public:
    using Layout = std::function<void(PrintSurface &)>;
    /** Replaces the preview and the printer, for tests: called with the layout
     *  instead of showing anything. Empty restores the real ones. */
    using Runner = std::function<PrintOutcome(const Layout &)>;

    explicit PrintJob(QWidget *parent);
    ~PrintJob() override;

    QPrinter &printer() { return *m_printer; }

    /** The printer selection dialog; the choice holds for the following jobs. */
    void configure();
    /** Previews `layout` under `title`, then prints it where the operator says. */
    PrintOutcome run(const QString &title, const Layout &layout);
    /** French sentence for the last failure. */
    const QString &lastError() const { return m_lastError; }

    static void setRunnerForTests(Runner runner);

  private:
    bool paint(QPrinter *printer, const Layout &layout);
    void proposePdfFile(const QString &documentName);
    void resetPage();

    QWidget *m_parent;
    std::unique_ptr<QPrinter> m_printer;
    QString m_lastError;
};

} // namespace ondelog
