// SPDX-License-Identifier: GPL-3.0-or-later
#include "companions/fabribasewindow.h"

#include "database/contactdatabase.h"
#include "dbexport/contacttable.h"
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
#include <QVBoxLayout>

namespace ondelog {

namespace {

const QString kStartMessage = QStringLiteral("Lancer avec ' Créer Database '");

} // namespace

FabribaseWindow::FabribaseWindow(const std::filesystem::path &programFolder, QWidget *parent)
    : QWidget(parent), m_programFolder(programFolder),
      m_fileName(QString::fromLatin1(kDefaultDatabaseName))
{
    setObjectName(QStringLiteral("frmCréateDataBase"));
    setWindowTitle(QStringLiteral("Création d'une base SQLite (fichier .mdb)"));

    auto *buttons = new QFrame(this);
    buttons->setObjectName(QStringLiteral("PictBtons"));
    buttons->setFrameShape(QFrame::StyledPanel);
    m_message = new QLabel(QStringLiteral("Créer le fichier"), buttons);
    m_message->setObjectName(QStringLiteral("PictBtonsLab01"));
    QFont strong = m_message->font();
    strong.setBold(true);
    strong.setPointSizeF(strong.pointSizeF() * 1.15);
    m_message->setFont(strong);
    m_message->setMinimumWidth(m_message->fontMetrics().horizontalAdvance(
        QStringLiteral("Indiquer le nom du fichier à créer XXXXXXXX")));
    m_detail = new QLabel(buttons);
    m_detail->setObjectName(QStringLiteral("PictBtonsLab02"));
    m_create = new QPushButton(QStringLiteral("Créer DataBase"), buttons);
    m_create->setObjectName(QStringLiteral("CmdBtonCreer"));
    m_quit = new QPushButton(QStringLiteral("Annuler"), buttons);
    m_quit->setObjectName(QStringLiteral("CmdBtonQuitter"));
    for (QPushButton *b : {m_create, m_quit}) {
        b->setMinimumHeight(32);
        b->setMinimumWidth(130);
    }
    m_create->setDefault(true);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_create);
    buttonRow->addWidget(m_quit);
    auto *panel = new QVBoxLayout(buttons);
    panel->setContentsMargins(14, 12, 14, 12);
    panel->addWidget(m_message);
    panel->addWidget(m_detail);
    panel->addLayout(buttonRow);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);
    layout->addWidget(buildTablePanel());
    layout->addWidget(buttons);

    connect(m_create, &QPushButton::clicked, this, &FabribaseWindow::create);
    connect(m_quit, &QPushButton::clicked, this, &QWidget::close);

    m_message->setText(kStartMessage);
}

QWidget *FabribaseWindow::buildTablePanel()
{
    // What the database will hold: each column with its width. Nothing is typed here.
    auto *box =
        new QGroupBox(QStringLiteral("Table %1").arg(QLatin1String(kContactTableName)), this);
    box->setObjectName(QStringLiteral("PictFicheQSO"));
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    const auto &columns = contactTableColumns();
    const int rows = (int(columns.size()) + 1) / 2;
    for (int k = 0; k < int(columns.size()); ++k) {
        const int row = k % rows;
        const int col = (k / rows) * 2;
        auto *caption = new QLabel(QString::fromLatin1(columns[k].name), box);
        auto *field = new QLineEdit(box);
        field->setObjectName(QStringLiteral("FicheQSOField%1").arg(k));
        field->setReadOnly(true);
        field->setEnabled(false);
        field->setPlaceholderText(QStringLiteral("texte, %1 caractères").arg(columns[k].size));
        caption->setBuddy(field);
        grid->addWidget(caption, row, col);
        grid->addWidget(field, row, col + 1);
    }
    return box;
}

void FabribaseWindow::restoreStart()
{
    m_message->setText(kStartMessage);
    m_detail->clear();
    m_create->setEnabled(true);
    m_quit->setEnabled(true);
}

void FabribaseWindow::create()
{
    m_message->setText(QStringLiteral("Indiquer le nom du fichier à créer"));
    m_detail->clear();

    const QString folder = nativePath(m_programFolder);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(folder));
        restoreStart();
        return;
    }

    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = QStringLiteral("Nom de la base à créer");
    request.initialFolder = folder;
    request.defaultSuffix = QStringLiteral("mdb");
    request.filter = QStringLiteral("Indicatif.mdb (*.mdb);;Tous les fichiers (*)");
    const QString chosen = askFileName(this, request);
    if (chosen.isEmpty()) {
        m_message->setText(kStartMessage);
        return;
    }
    m_fileName = QDir::toNativeSeparators(chosen);
    m_fileTitle = QFileInfo(chosen).fileName();
    if (m_fileTitle.isEmpty())
        return;

    QCoreApplication::processEvents();
    bool created = false;
    {
        WaitCursor wait;
        m_create->setEnabled(false);
        m_quit->setEnabled(false);
        m_message->setText(QStringLiteral("Attendre ,je crée le fichier"));
        m_detail->setText(m_fileTitle);
        m_detail->repaint();
        m_detail->clear();
        created = createDatabase();
    }
    if (!created) {
        restoreStart();
        return;
    }
    m_message->setText(QStringLiteral("Le fichier %1 est créé").arg(m_fileTitle));
    m_quit->setText(QStringLiteral("OK"));
    m_quit->setEnabled(true);
    m_quit->setFocus();
}

bool FabribaseWindow::createDatabase()
{
    const CreationResult result = createContactDatabase(m_fileName);
    if (result.outcome == CreationResult::Outcome::Created)
        return true;
    const QString title = QCoreApplication::applicationName();
    const QString text = creationFailureMessage(result, m_fileTitle);
    NormalCursor normal;
    QMessageBox::warning(this, title, text);
    return false;
}

} // namespace ondelog
