// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wsjtxdialog.h"

#include "ui/dialogparts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ondelog {

WsjtxSettingsWidget::WsjtxSettingsWidget(QWidget *parent)
    : QGroupBox(QStringLiteral("Recevoir les contacts de WSJT-X et JTDX"), parent)
{
    setObjectName(QStringLiteral("FraWsjtx"));
    setCheckable(true);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("TxtWsjtxAdresse"));
    m_address->setPlaceholderText(QStringLiteral("127.0.0.1"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("TxtWsjtxPort"));
    m_port->setRange(1, 65535);
    m_port->setGroupSeparatorShown(false);
    m_loopback = new QCheckBox(
        QStringLiteral("Groupe de multidiffusion sur cet ordinateur seulement"), this);
    m_loopback->setObjectName(QStringLiteral("ChkBouclage"));
    auto *help = new QLabel(
        QStringLiteral("Dans les réglages de WSJT-X ou de JTDX, onglet « Reporting », donnez "
                       "à « UDP Server » la même adresse et le même port. Ondelog n'envoie rien "
                       "en retour."),
        this);
    help->setObjectName(QStringLiteral("LabWsjtxAide"));
    help->setWordWrap(true);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Adresse :"), m_address);
    form->addRow(QStringLiteral("&Port :"), m_port);
    form->addRow(QString(), m_loopback);
    form->addRow(help);

    connect(m_address, &QLineEdit::textChanged, this, &WsjtxSettingsWidget::addressChanged);
    setSettings(WsjtxSettings{});
}

void WsjtxSettingsWidget::setSettings(const WsjtxSettings &s)
{
    setChecked(s.enabled);
    m_address->setText(QString::fromStdString(s.address));
    m_port->setValue(s.port);
    m_loopback->setChecked(s.multicastOnLoopback);
    addressChanged();
}

WsjtxSettings WsjtxSettingsWidget::settings() const
{
    WsjtxSettings s;
    s.enabled = isChecked();
    s.address = m_address->text().trimmed().toStdString();
    s.port = static_cast<std::uint16_t>(m_port->value());
    s.multicastOnLoopback = m_loopback->isChecked();
    return s;
}

QString WsjtxSettingsWidget::problem() const
{
    const QString text = m_address->text().trimmed();
    if (isChecked() && QHostAddress(text).isNull())
        return QStringLiteral("L'adresse « %1 » n'est pas une adresse IP "
                              "(127.0.0.1 pour cet ordinateur, 224.0.0.1 pour un groupe).")
            .arg(text);
    return {};
}

void WsjtxSettingsWidget::addressChanged()
{
    m_loopback->setEnabled(QHostAddress(m_address->text().trimmed()).isMulticast());
}

WsjtxDialog::WsjtxDialog(const WsjtxSettings &current, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WsjtxReglages"));
    setWindowTitle(QStringLiteral("WSJT-X et JTDX"));
    m_settings = new WsjtxSettingsWidget(this);
    m_settings->setSettings(current);
    m_error = errorLine(this);
    QDialogButtonBox *buttons = okCancelButtons(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 18, 22, 16);
    layout->addWidget(m_settings);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

void WsjtxDialog::accept()
{
    const QString why = m_settings->problem();
    showError(m_error, why);
    if (why.isEmpty())
        QDialog::accept();
}

} // namespace ondelog
