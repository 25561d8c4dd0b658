// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transceiverdialog.h"

#include "ui/dialogparts.h"
#include "ui/radiowatcher.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ondelog {

namespace {

constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QString modelText(const RadioModel &m)
{
    return QStringLiteral("%1 %2").arg(QString::fromStdString(m.maker),
                                       QString::fromStdString(m.name));
}

} // namespace

TransceiverDialog::TransceiverDialog(const TransceiverSettings &current,
                                     std::vector<RadioModel> models, QWidget *parent)
    : QDialog(parent), m_models(std::move(models)), m_chosenModel(current.model)
{
    buildWindow(current);
}

TransceiverDialog::TransceiverDialog(const TransceiverSettings &current, QWidget *parent)
    : TransceiverDialog(current, radioModels(), parent)
{
}

TransceiverDialog::~TransceiverDialog() = default;

QStringList TransceiverDialog::serialPorts()
{
    QStringList ports;
    // The names udev gives by the adapter's serial number survive replugging.
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString &name : byId.entryList(QDir::System | QDir::Files, QDir::Name))
        ports << byId.filePath(name);
    const QDir dev(QStringLiteral("/dev"));
    for (const QString &name :
         dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"),
                        QStringLiteral("rfcomm*"), QStringLiteral("ttyS[0-3]")},
                       QDir::System, QDir::Name))
        ports << dev.filePath(name);
    return ports;
}

void TransceiverDialog::buildWindow(const TransceiverSettings &current)
{
    setObjectName(QStringLiteral("Transceiver"));
    setWindowTitle(QStringLiteral("Transceiver"));

    auto *intro = new QLabel(
        QStringLiteral("Ondelog lit la fréquence et le mode du transceiver par Hamlib, et les "
                       "propose pendant la saisie en temps réel."),
        this);
    intro->setObjectName(QStringLiteral("LabTransceiverAide"));
    intro->setWordWrap(true);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("TxtChercherModele"));
    m_search->setPlaceholderText(QStringLiteral("Chercher un modèle (IC-7300, FT-991…)"));
    m_search->setClearButtonEnabled(true);
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("CboModele"));
    m_model->setMaxVisibleItems(20);

    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("CboPort"));
    m_port->setEditable(true);
    m_port->addItems(serialPorts());
    m_port->setCurrentText(QString::fromStdString(current.serialPort));
    m_port->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));

    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("CboVitesse"));
    m_speed->addItem(QStringLiteral("Celle du modèle"), 0);
    for (const int speed : kSpeeds)
        m_speed->addItem(QStringLiteral("%1 bauds").arg(speed), speed);
    m_speed->setCurrentIndex(std::max(0, m_speed->findData(current.serialSpeed)));

    m_address = new QLineEdit(QString::fromStdString(current.networkAddress), this);
    m_address->setObjectName(QStringLiteral("TxtRigctld"));
    m_address->setPlaceholderText(QStringLiteral("127.0.0.1:4532"));
    m_address->setToolTip(
        QStringLiteral("Adresse hôte:port du serveur rigctld (modèle « Hamlib NET rigctl »), "
                       "vide pour celle du modèle"));

    m_try = new QPushButton(QStringLiteral("&Essayer"), this);
    m_try->setObjectName(QStringLiteral("BtEssayer"));
    m_tryResult = new QLabel(this);
    m_tryResult->setObjectName(QStringLiteral("LabEssai"));
    m_error = errorLine(this);
    QDialogButtonBox *buttons = okCancelButtons(this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Modèle :"), m_search);
    form->addRow(QString(), m_model);
    form->addRow(QStringLiteral("&Port série :"), m_port);
    form->addRow(QStringLiteral("&Vitesse :"), m_speed);
    form->addRow(QStringLiteral("Serveur &rigctld :"), m_address);
    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(m_try);
    tryRow->addWidget(m_tryResult, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 18, 22, 16);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addLayout(tryRow);
    layout->addWidget(m_error);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(480);

    m_watcher = new RadioWatcher(this);
    connect(m_watcher, &RadioWatcher::reported, this, [this] {
        m_tryResult->setText(m_watcher->lastReport().state == RadioState::Off ? QString()
                                                                              : m_watcher->line());
    });
    connect(m_search, &QLineEdit::textChanged, this, &TransceiverDialog::fillModels);
    connect(m_model, &QComboBox::currentIndexChanged, this, [this] {
        m_chosenModel = m_model->currentData().toInt();
        modelChanged();
    });
    connect(m_try, &QPushButton::clicked, this, &TransceiverDialog::tryRadio);
    fillModels(QString());
}

void TransceiverDialog::fillModels(const QString &filter)
{
    const QSignalBlocker blocker(m_model);
    m_model->clear();
    m_model->addItem(QStringLiteral("Aucun"), kNoRadioModel);
    const QString wanted = filter.trimmed();
    for (const RadioModel &m : m_models) {
        const QString text = modelText(m);
        if (wanted.isEmpty() || text.contains(wanted, Qt::CaseInsensitive) ||
            wanted == QString::number(m.id))
            m_model->addItem(text, m.id);
    }
    int index = m_model->findData(m_chosenModel);
    // While searching, the first model found is the one chosen.
    if (index < 0 || (!wanted.isEmpty() && index == 0))
        index = m_model->count() > 1 && !wanted.isEmpty() ? 1 : 0;
    m_model->setCurrentIndex(index);
    m_chosenModel = m_model->currentData().toInt();
    modelChanged();
}

const RadioModel *TransceiverDialog::chosenModel() const
{
    for (const RadioModel &m : m_models)
        if (m.id == m_chosenModel)
            return &m;
    return nullptr;
}

void TransceiverDialog::modelChanged()
{
    const RadioModel *model = chosenModel();
    const bool none = m_chosenModel == kNoRadioModel;
    const bool network = model && model->port == RadioPort::Network;
    const bool serial = model && !network && model->port != RadioPort::None;
    m_port->setEnabled(serial);
    m_speed->setEnabled(serial && model->port == RadioPort::Serial);
    m_address->setEnabled(network);
    m_try->setEnabled(!none);
    m_watcher->stop();
    m_tryResult->clear();
    showError(m_error, QString());
}

TransceiverSettings TransceiverDialog::settings() const
{
    TransceiverSettings s;
    s.model = m_chosenModel;
    s.serialPort = m_port->currentText().trimmed().toStdString();
    s.serialSpeed = m_speed->currentData().toInt();
    s.networkAddress = m_address->text().trimmed().toStdString();
    return s;
}

QString TransceiverDialog::problem() const
{
    const RadioModel *model = chosenModel();
    if (!model)
        return m_chosenModel == kNoRadioModel
                   ? QString()
                   : QStringLiteral("Le modèle %1 n'est pas connu de Hamlib.").arg(m_chosenModel);
    const TransceiverSettings s = settings();
    if (model->port == RadioPort::Serial && s.serialPort.empty())
        return QStringLiteral(
            "Choisissez le port série du transceiver (par exemple /dev/ttyUSB0).");
    if (model->port == RadioPort::Network && !s.networkAddress.empty() &&
        !isHostAndPort(s.networkAddress))
        return QStringLiteral("L'adresse s'écrit hôte:port, par exemple 127.0.0.1:4532.");
    return {};
}

void TransceiverDialog::tryRadio()
{
    const QString why = problem();
    showError(m_error, why);
    if (!why.isEmpty())
        return;
    m_tryResult->setText(QStringLiteral("Transceiver : connexion…"));
    m_watcher->watch(settings());
}

void TransceiverDialog::accept()
{
    const QString why = problem();
    showError(m_error, why);
    if (!why.isEmpty())
        return;
    m_watcher->stop();
    QDialog::accept();
}

} // namespace ondelog
