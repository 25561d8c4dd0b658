// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/firstrundialog.h"

#include "geo/locator.h"
#include "logbook/logfile.h"
#include "setup/dataroot.h"
#include "text/text.h"
#include "ui/controls.h"
#include "ui/keyboard.h"
#include "ui/locatordialog.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/uppercase.h"
#include "ui/waitcursor.h"

#include <QDir>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <system_error>

namespace ondelog {

namespace {

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Another window or the field's context menu taking the focus for a moment is
// not the operator leaving the field: what is being typed stays.
bool isOperatorFocus(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

QStringList FirstRunDialog::noticeLines()
{
    return {
        QStringLiteral("              Création du fichier.Ham"),
        QStringLiteral("    Si votre indicatif est trop long ,seulement les"),
        QStringLiteral("  8 premières lettres seront prises pour nommer"),
        QStringLiteral("  le fichier MyCall.Ham ."),
    };
}

FirstRunDialog::FirstRunDialog(const std::filesystem::path &dataRoot, QWidget *parent)
    : QDialog(parent), m_dataRoot(dataRoot), m_programFolder(programFolder(dataRoot))
{
    enableKeyboardConventions();
    setObjectName(QStringLiteral("Dlg1"));
    setWindowTitle(QStringLiteral(" Création du cahier de trafic"));
    setModal(true);

    auto *title = new QLabel(QStringLiteral("Ondelog"), this);
    title->setObjectName(QStringLiteral("Dlg1LabOndelog"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    title->setFont(titleFont);

    m_disk = new QLabel(this);
    m_disk->setObjectName(QStringLiteral("LabDisk"));
    m_disk->setText(QStringLiteral(" Le disque courant est le disque : ") + nativePath(m_dataRoot) +
                    QStringLiteral("  "));
    m_disk->setWordWrap(true);

    // The input fields.
    auto *inputs = new QFrame(this);
    inputs->setObjectName(QStringLiteral("Dlg1Fra2"));
    inputs->setFrameShape(QFrame::StyledPanel);
    auto *callLabel = new QLabel(QStringLiteral("Entrer votre indicatif complet ->"), inputs);
    callLabel->setObjectName(QStringLiteral("Dlg1Fra2Lab1"));
    m_callSignEdit = new QLineEdit(inputs);
    m_callSignEdit->setObjectName(QStringLiteral("Dlg1Fra2Text1"));
    m_callSignEdit->setMaxLength(static_cast<int>(fieldLayout(Field::CSGN).width));
    auto *locatorLabel = new QLabel(QStringLiteral("Entrer le locator de la station ->"), inputs);
    locatorLabel->setObjectName(QStringLiteral("Dlg1Fra2Lab2"));
    m_locatorEdit = new QLineEdit(inputs);
    m_locatorEdit->setObjectName(QStringLiteral("Dlg1Fra2Text2"));
    // Room for "ERREUR" too, which is the same length as a locator.
    m_locatorEdit->setMaxLength(6);
    m_locatorButton =
        makeButton(QStringLiteral("Calculer Locator"), QStringLiteral("BtAppelLocator"), inputs);
    m_notice = new QPlainTextEdit(inputs);
    m_notice->setObjectName(QStringLiteral("Dlg1Fra2Text3"));
    m_notice->setReadOnly(true);
    m_notice->setFocusPolicy(Qt::NoFocus);
    m_notice->setPlainText(noticeLines().join(QLatin1Char('\n')));
    // The notice is laid out with blanks: it needs a fixed-pitch font to line up.
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    m_notice->setFont(fixed);
    m_notice->setFixedHeight(m_notice->fontMetrics().lineSpacing() * 4 + 14);
    m_notice->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_notice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notice->setMinimumWidth(
        m_notice->fontMetrics().horizontalAdvance(QString(52, QLatin1Char('W'))) + 12);
    m_stop =
        makeButton(QStringLiteral("Tout arrêter !!"), QStringLiteral("Dlg1Fra2CmdArreter"), inputs);

    for (QLineEdit *edit : {m_callSignEdit, m_locatorEdit}) {
        makeUpperCase(edit);
        edit->installEventFilter(this);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(16, QLatin1Char('W'))));
    }

    auto *inputsLayout = new QGridLayout(inputs);
    inputsLayout->setContentsMargins(14, 12, 14, 12);
    inputsLayout->setHorizontalSpacing(10);
    inputsLayout->setVerticalSpacing(10);
    inputsLayout->addWidget(callLabel, 0, 0);
    inputsLayout->addWidget(m_callSignEdit, 0, 1);
    inputsLayout->addWidget(locatorLabel, 1, 0);
    inputsLayout->addWidget(m_locatorEdit, 1, 1);
    inputsLayout->addWidget(m_locatorButton, 1, 2);
    inputsLayout->addWidget(m_notice, 2, 0, 1, 3);
    auto *stopRow = new QHBoxLayout;
    stopRow->addStretch(1);
    stopRow->addWidget(m_stop);
    inputsLayout->addLayout(stopRow, 3, 0, 1, 3);
    inputsLayout->setColumnStretch(1, 1);

    // The confirmation, shown once a valid locator is entered.
    m_confirm = new QFrame(this);
    m_confirm->setObjectName(QStringLiteral("Dlg1Fra3"));
    m_confirm->setFrameShape(QFrame::StyledPanel);
    auto *placeLabel = new QLabel(
        QStringLiteral(" Le dossier Ondelog sera placé sur le disque courant"), m_confirm);
    placeLabel->setObjectName(QStringLiteral("Dlg1Fra3Lab1"));
    m_pathLabel = new QLabel(m_confirm);
    m_pathLabel->setObjectName(QStringLiteral("Dlg1Fra3Lab2"));
    m_pathLabel->setWordWrap(true);
    m_pathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont pathFont = m_pathLabel->font();
    pathFont.setBold(true);
    m_pathLabel->setFont(pathFont);
    m_validate =
        makeButton(QStringLiteral("Valider"), QStringLiteral("Dlg1Fra3CmdValider"), m_confirm);
    auto *confirmLayout = new QGridLayout(m_confirm);
    confirmLayout->setContentsMargins(14, 10, 14, 10);
    confirmLayout->addWidget(placeLabel, 0, 0);
    confirmLayout->addWidget(m_pathLabel, 1, 0);
    confirmLayout->addWidget(m_validate, 0, 1, 2, 1, Qt::AlignVCenter);
    confirmLayout->setColumnStretch(0, 1);
    m_confirm->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 16);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(m_disk);
    layout->addWidget(inputs);
    layout->addWidget(m_confirm);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_locatorButton, &QPushButton::clicked, this, &FirstRunDialog::openLocatorDialog);
    connect(m_stop, &QPushButton::clicked, this, [this] { done(StopProgram); });
    connect(m_validate, &QPushButton::clicked, this, &FirstRunDialog::validate);
    m_callSignEdit->setFocus(Qt::OtherFocusReason);
}

void FirstRunDialog::reject()
{
    // Without a configuration there is no log to show: closing the window
    // stops the program, as "Tout arrêter !!" does.
    done(StopProgram);
}

bool FirstRunDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_callSignEdit) {
        if (isEnter(event)) {
            takeCallSign();
            return true;
        }
        if (event->type() == QEvent::FocusOut &&
            isOperatorFocus(static_cast<QFocusEvent *>(event)->reason())) {
            // Leaving the field with Tab or the mouse keeps what was typed, as
            // Enter would; an emptied field gives back the call sign taken before.
            keepTypedCallSign();
        } else if (event->type() == QEvent::MouseButtonPress &&
                   static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_confirm->hide();
            m_callSignEdit->clear();
        }
    } else if (watched == m_locatorEdit) {
        if (isEnter(event)) {
            takeLocator();
            return true;
        }
        if (m_showingError && event->type() == QEvent::KeyPress)
            return true; // the field is only showing the error
        if (event->type() == QEvent::FocusOut && !m_showingError &&
            isOperatorFocus(static_cast<QFocusEvent *>(event)->reason())) {
            const std::string typed = trim(toCp1252(m_locatorEdit->text()));
            if (typed != m_stationLocator && typed.size() == 6 && isLocatorValid(typed)) {
                m_stationLocator = typed;
                showConfirmation();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FirstRunDialog::takeCallSign()
{
    const std::string typed = toUpperCp1252(trim(toCp1252(m_callSignEdit->text())));
    if (typed.empty())
        return;
    m_callSign = typed;
    m_callSignEdit->setText(toQString(m_callSign));
    m_locatorEdit->clear();
    m_locatorEdit->setFocus(Qt::OtherFocusReason);
}

void FirstRunDialog::keepTypedCallSign()
{
    const std::string typed = toUpperCp1252(trim(toCp1252(m_callSignEdit->text())));
    if (!typed.empty() && typed != m_callSign) {
        m_callSign = typed;
        // The file named in the frame follows the call sign.
        if (m_confirm->isVisible())
            showConfirmation();
    }
    m_callSignEdit->setText(toQString(m_callSign));
}

void FirstRunDialog::showConfirmation()
{
    const std::filesystem::path log = logPath();
    std::error_code ec;
    const bool exists = std::filesystem::exists(log, ec);
    m_pathLabel->setText(nativePath(log) + (exists
                                                ? QStringLiteral(" existe déjà : il sera conservé ")
                                                : QStringLiteral(" va être créé ")));
    m_confirm->show();
}

void FirstRunDialog::takeLocator()
{
    if (m_showingError)
        return;
    const std::string typed = toCp1252(m_locatorEdit->text());
    if (typed.size() != 6 || !isLocatorValid(typed)) {
        showErrorForOneSecond(m_locatorEdit, m_showingError);
        return;
    }
    m_stationLocator = typed;
    showConfirmation();
    m_validate->setFocus(Qt::OtherFocusReason);
}

void FirstRunDialog::openLocatorDialog()
{
    LocatorDialog dialog(m_stationLocator, this);
    dialog.exec();
    m_locatorEdit->setText(QString::fromStdString(dialog.dialogLocator()).trimmed());
    takeLocator();
}

std::filesystem::path FirstRunDialog::logPath() const
{
    return m_programFolder / logFileNameFor(m_callSign);
}

void FirstRunDialog::validate()
{
    if (m_showingError)
        return;
    keepTypedCallSign();
    if (m_callSign.empty()) {
        QMessageBox::warning(this, QStringLiteral("Ondelog"),
                             QStringLiteral("Entrez d'abord votre indicatif : il donne son nom "
                                            "au fichier de log."));
        m_callSignEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The locator field may hold something else than the locator taken, typed
    // since: what is shown is what gets written, or nothing.
    const std::string typedLocator = trim(toCp1252(m_locatorEdit->text()));
    if (typedLocator.size() == 6 && isLocatorValid(typedLocator))
        m_stationLocator = typedLocator;
    if (typedLocator != m_stationLocator || !isLocatorValid(m_stationLocator)) {
        QMessageBox::warning(this, QStringLiteral("Ondelog"),
                             QStringLiteral("Entrez le locator de la station : six caractères, "
                                            "par exemple JN03RO."));
        m_locatorEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(m_programFolder, ec);
    if (!std::filesystem::is_directory(m_programFolder, ec)) {
        QMessageBox::warning(this, QStringLiteral("Ondelog"),
                             QStringLiteral("Le dossier %1 ne peut pas être créé.")
                                 .arg(nativePath(m_programFolder)));
        return;
    }

    const Configuration config = makeConfiguration(m_callSign, m_stationLocator);
    const std::filesystem::path log = m_programFolder / config.logFileName;
    // A damaged configuration may carry another letter case: replace that file
    // rather than leave two of them side by side.
    const std::filesystem::path configFile =
        findConfigurationFile(m_programFolder).value_or(m_programFolder / kConfigFileName);

    {
        WaitCursor wait;
        // The log goes first: should the configuration then fail, the next start
        // asks again and finds this log, instead of opening a log that is not there.
        m_keptExistingLog = std::filesystem::exists(log, ec);
        if (!m_keptExistingLog) {
            const LogStatus status = LogFile::create(log, m_stationLocator);
            if (status != LogStatus::Ok) {
                NormalCursor normal;
                QMessageBox::warning(
                    this, QStringLiteral("Ondelog"),
                    QStringLiteral("Le fichier %1 ne peut pas être créé :\n%2")
                        .arg(nativePath(log), QString::fromStdString(statusMessageUtf8(status))));
                return;
            }
        }
        if (!writeConfiguration(configFile, config)) {
            NormalCursor normal;
            QMessageBox::warning(
                this, QStringLiteral("Ondelog"),
                QStringLiteral("Le fichier de configuration %1 ne peut pas être écrit.")
                    .arg(nativePath(configFile)));
            return;
        }
    }

    const QString name = toQString(config.logFileName);
    const QString text =
        m_keptExistingLog
            ? QStringLiteral("   Le fichier ") + name +
                  QStringLiteral(" existait déjà : ses contacts sont conservés.  \n\n"
                                 "   Seule la configuration a été écrite.  ")
            : QStringLiteral("   Le fichier ") + name + QStringLiteral(" est créé  \n\n");
    QMessageBox box(QMessageBox::Information, QStringLiteral(" Création réalisée avec succès"),
                    text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("Dlg1Succes"));
    box.exec();
    m_config = config;
    accept();
}

} // namespace ondelog
