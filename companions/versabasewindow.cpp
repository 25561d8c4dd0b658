// SPDX-License-Identifier: GPL-3.0-or-later
#include "companions/versabasewindow.h"

#include "database/contactdatabase.h"
#include "dbexport/contacttable.h"
#include "logbook/logfile.h"
#include "setup/dataroot.h"
#include "ui/companion.h"
#include "ui/controls.h"
#include "ui/filedialog.h"
#include "ui/qtext.h"
#include "ui/waitcursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <utility>

namespace ondelog {

namespace {

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(false);
    return l;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    QPushButton *b = makeButton(text, name, parent);
    b->setMinimumHeight(32);
    b->setMinimumWidth(170);
    return b;
}

} // namespace

QString sqliteOpeners(const QStringList &searchPaths)
{
    // The programs of a Debian desktop that open an SQLite file, by the name
    // their package installs and the name the operator knows.
    static const std::pair<const char *, const char *> kPrograms[] = {
        {"sqlitebrowser", "DB Browser for SQLite"},
        {"sqlitestudio", "SQLiteStudio"},
        {"sqlite3", "sqlite3 (en ligne de commande)"},
    };
    QStringList found;
    for (const auto &[program, name] : kPrograms)
        if (!QStandardPaths::findExecutable(QString::fromLatin1(program), searchPaths).isEmpty())
            found << QString::fromLatin1(name);
    if (found.isEmpty())
        return QStringLiteral("C'est une base SQLite 3 : elle s'ouvre avec un logiciel SQLite, "
                              "par exemple DB Browser for SQLite (paquet sqlitebrowser).");
    const QString last = found.takeLast();
    const QString programs =
        found.isEmpty() ? last : found.join(QStringLiteral(", ")) + QStringLiteral(" ou ") + last;
    return QStringLiteral("C'est une base SQLite 3 : elle s'ouvre ici avec %1.").arg(programs);
}

VersabaseWindow::VersabaseWindow(const std::filesystem::path &dataRoot, QWidget *parent)
    : QWidget(parent), m_dataRoot(dataRoot), m_programFolder(programFolder(dataRoot))
{
    setObjectName(QStringLiteral("frmVersabase"));
    setWindowTitle(QStringLiteral("Versabase : conversion d'un log en base SQLite (version 1.0)"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(14);
    auto *left = new QVBoxLayout;
    left->addWidget(buildMenuPanel());
    left->addWidget(buildResultPanel());
    left->addStretch(1);
    layout->addLayout(left);
    layout->addWidget(buildFieldsPanel(), 1);

    m_result->hide();
}

QWidget *VersabaseWindow::buildMenuPanel()
{
    m_menu = new QFrame(this);
    m_menu->setObjectName(QStringLiteral("Pict3Menu"));
    m_menu->setFrameShape(QFrame::StyledPanel);
    auto *create =
        button(QStringLiteral("Créer une DataBase"), QStringLiteral("BtonCréerDataBase"), m_menu);
    auto *open =
        button(QStringLiteral("Ouvrir fichier.&ham"), QStringLiteral("BtonOuvrirHam"), m_menu);
    auto *quit = button(QStringLiteral("&Quitter"), QStringLiteral("Pict3Quitter"), m_menu);

    auto *first = label(QStringLiteral("Première étape , il faut créer un fichier"), m_menu);
    QFont strong = first->font();
    strong.setBold(true);
    first->setFont(strong);
    auto *second = label(QStringLiteral("Deuxième étape , convertir le log"), m_menu);
    second->setFont(strong);

    auto *column = new QVBoxLayout(m_menu);
    column->setContentsMargins(14, 12, 14, 12);
    column->setSpacing(4);
    column->addWidget(first);
    column->addWidget(label(QStringLiteral("au format SQLite en suivant les dialogues"), m_menu));
    column->addWidget(label(QStringLiteral("Même nom que dans le dossier Ondelog"), m_menu));
    column->addWidget(create, 0, Qt::AlignLeft);
    column->addSpacing(12);
    column->addWidget(second);
    column->addWidget(label(QStringLiteral("Choisir le fichier.Ham du même nom"), m_menu));
    column->addWidget(open, 0, Qt::AlignLeft);
    column->addSpacing(12);
    column->addWidget(quit, 0, Qt::AlignLeft);

    connect(create, &QPushButton::clicked, this,
            [this] { startCompanion(this, QStringLiteral("fabribase"), m_dataRoot); });
    connect(open, &QPushButton::clicked, this, &VersabaseWindow::openLog);
    connect(quit, &QPushButton::clicked, this, &QWidget::close);
    return m_menu;
}

QWidget *VersabaseWindow::buildFieldsPanel()
{
    // The sixteen columns of a row, captioned as on the log's record view.
    static const char *const kCaptions[16] = {"Indicatif",
                                              "DateQSO",
                                              "Heures début / fin",
                                              "",
                                              "Fréquence",
                                              "Mode",
                                              "Son RST",
                                              "Mon RST",
                                              "QTH",
                                              "Locator",
                                              "Département",
                                              "Prénom",
                                              "Observations",
                                              "Ma QSL",
                                              "Sa_QSL",
                                              "Mon Locator"};
    auto *box = new QGroupBox(QStringLiteral("Fiche QSO"), this);
    box->setObjectName(QStringLiteral("PictFiche"));
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(4);
    const auto &columns = contactTableColumns();
    int row = 0;
    for (int k = 0; k < 16; ++k) {
        auto *field = new QLineEdit(box);
        field->setObjectName(QStringLiteral("txtFields%1").arg(k));
        field->setReadOnly(true);
        field->setMaxLength(columns[k].size);
        field->setMinimumWidth(
            field->fontMetrics().horizontalAdvance(QString(columns[k].size + 1, QLatin1Char('M'))) /
            2);
        // The column each value goes to, shown while the field is empty.
        field->setPlaceholderText(QString::fromLatin1(columns[k].name));
        field->setToolTip(QString::fromLatin1(columns[k].name));
        m_fields[k] = field;
        if (k == 3) {
            // The end time shares the line of the start time.
            grid->addWidget(field, row - 1, 2);
            continue;
        }
        auto *caption = new QLabel(QString::fromUtf8(kCaptions[k]), box);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1, 1, k == 2 ? 1 : 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    return box;
}

QWidget *VersabaseWindow::buildResultPanel()
{
    m_result = new QFrame(this);
    m_result->setObjectName(QStringLiteral("PictTerminé"));
    m_result->setFrameShape(QFrame::StyledPanel);
    m_result1 = new QLabel(m_result);
    m_result1->setObjectName(QStringLiteral("LabTerminé1"));
    QFont strong = m_result1->font();
    strong.setBold(true);
    m_result1->setFont(strong);
    m_result2 = new QLabel(m_result);
    m_result2->setObjectName(QStringLiteral("LabTerminé2"));
    m_result2->setWordWrap(true);
    m_result2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *column = new QVBoxLayout(m_result);
    column->setContentsMargins(14, 10, 14, 10);
    column->addWidget(m_result1);
    column->addWidget(m_result2);
    auto *openers = label(sqliteOpeners(), m_result);
    openers->setObjectName(QStringLiteral("LabOuvrirBase"));
    openers->setWordWrap(true);
    column->addWidget(openers);
    return m_result;
}

void VersabaseWindow::openLog()
{
    if (chooseLog()) {
        QCoreApplication::processEvents();
        convert();
    }
}

bool VersabaseWindow::chooseLog()
{
    m_logPath.clear();
    m_logReady = false;

    FileDialogRequest request = logFileRequest(
        FileDialogMode::Open, QStringLiteral("Log à convertir"), nativePath(m_programFolder));
    const QString chosen = askFileName(this, request);
    const QString title = QFileInfo(chosen).fileName();
    if (title.isEmpty())
        return false;
    m_logPath = chosen;
    m_baseName = QString::fromStdString(logBaseName(title.toStdString()));

    LogFile log;
    if (const LogStatus status = log.openReadOnly(toPath(chosen)); status != LogStatus::Ok) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             QStringLiteral("Le log %1 ne peut pas être lu : %2")
                                 .arg(title, QString::fromStdString(statusMessageUtf8(status))));
        return false;
    }
    // A log without its end marker is not converted: it may be cut short.
    if (!log.endMarkerLocator())
        return false;
    m_recordCount = log.recordCount();
    m_logReady = true;
    return true;
}

void VersabaseWindow::convert()
{
    const QString expected = QString::fromStdString(expectedDatabaseName(m_baseName.toStdString()));
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = QStringLiteral("Base à remplir");
    request.initialFolder = nativePath(m_programFolder);
    request.defaultSuffix = QStringLiteral("mdb");
    request.filter = QStringLiteral("Indicatif.mdb (*.mdb)");
    request.proposedName = expected;
    const QString chosen = askFileName(this, request);
    const QString title = QFileInfo(chosen).fileName();
    if (title.isEmpty())
        return;
    if (!isExpectedDatabase(title.toStdString(), m_baseName.toStdString())) {
        QMessageBox::information(
            this, QCoreApplication::applicationName(),
            QStringLiteral("La base doit porter le nom du log : %1 (majuscules comprises).")
                .arg(expected));
        return;
    }

    m_result->hide();
    QCoreApplication::processEvents();
    ConversionResult result;
    {
        WaitCursor wait;
        m_menu->setEnabled(false);
        result = convertLog(toPath(m_logPath), m_recordCount, chosen);
        for (QLineEdit *field : m_fields)
            field->clear();
        m_menu->setEnabled(true);
    }
    if (result.outcome != ConversionResult::Outcome::Converted) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             conversionFailureMessage(result, title));
        return;
    }
    m_result1->setText(QStringLiteral("Le fichier %1 est créé.").arg(title));
    m_result2->setText(
        QStringLiteral("Il se trouve dans %1").arg(QDir::toNativeSeparators(chosen)));
    m_result->show();
}

} // namespace ondelog
