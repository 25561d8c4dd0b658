// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/topbar.h"

#include "geo/calendar.h"
#include "ui/clockicon.h"
#include "ui/controls.h"
#include "ui/qtext.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace ondelog {

TopBar::TopBar(const Clock &clock, QWidget *parent) : QWidget(parent), m_clock(clock)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);

    m_buttons = makePanel(QStringLiteral("PictMenu"), this);
    m_buttons->setFrameShape(QFrame::NoFrame);
    auto *buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    m_close = makeButton(QStringLiteral("Fermer le Log"), QStringLiteral("BtFermerLog"), m_buttons);
    m_newContact =
        makeButton(QStringLiteral("&Nouveau QSO"), QStringLiteral("BtNewQSO"), m_buttons);
    m_delete = makeButton(QStringLiteral("&Supprimer"), QStringLiteral("BtKillFiche"), m_buttons);
    QFont strong = m_newContact->font();
    strong.setBold(true);
    m_newContact->setFont(strong);
    for (QPushButton *b : {m_newContact, m_delete, m_close}) {
        b->setMinimumHeight(32);
        b->setMinimumWidth(120);
    }
    buttons->addWidget(m_newContact);
    buttons->addWidget(m_delete);
    buttons->addSpacing(16);
    buttons->addWidget(m_close);
    row->addWidget(m_buttons);
    row->addStretch(1);

    m_greeting = new QLabel(this);
    m_greeting->setObjectName(QStringLiteral("OndelogLab03"));
    QFont greetingFont = m_greeting->font();
    greetingFont.setItalic(true);
    greetingFont.setPointSizeF(greetingFont.pointSizeF() * 1.2);
    m_greeting->setFont(greetingFont);
    row->addWidget(m_greeting);

    QToolButton *clockIcon = makeClockButton(QStringLiteral("Horloge"), this);
    row->addWidget(clockIcon);

    auto *clockBox = new QVBoxLayout;
    clockBox->setSpacing(0);
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("LabHeure"));
    QFont timeFont = m_time->font();
    timeFont.setBold(true);
    timeFont.setPointSizeF(timeFont.pointSizeF() * 1.35);
    timeFont.setStyleHint(QFont::Monospace);
    m_time->setFont(timeFont);
    m_time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("LabDate"));
    m_date->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    clockBox->addWidget(m_time);
    clockBox->addWidget(m_date);
    row->addLayout(clockBox);

    connect(m_close, &QPushButton::clicked, this, &TopBar::closeAsked);
    connect(m_newContact, &QPushButton::clicked, this, &TopBar::newContactAsked);
    connect(m_delete, &QPushButton::clicked, this, &TopBar::deletionAsked);
    connect(clockIcon, &QToolButton::clicked, this, &TopBar::clockClicked);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TopBar::showTime);
}

void TopBar::setButtonsShown(bool shown)
{
    m_buttons->setVisible(shown);
}

void TopBar::setButtonsEnabled(bool enabled)
{
    m_buttons->setEnabled(enabled);
}

void TopBar::setCommands(bool newContact, bool deleteRecord, bool close)
{
    m_newContact->setEnabled(newContact);
    m_delete->setEnabled(deleteRecord);
    m_close->setEnabled(close);
}

void TopBar::setGreeting(const QString &text)
{
    m_greeting->setText(text);
}

void TopBar::startClock()
{
    showTime();
    m_timer.start();
}

void TopBar::stopClock()
{
    m_timer.stop();
}

void TopBar::showTime()
{
    const LocalDateTime now = m_clock.now();
    m_time->setText(QString::fromStdString(clockText(now)));
    m_date->setText(toQString(longDateText(now)));
}

} // namespace ondelog
