// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mergepanel.h"

#include "ui/controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ondelog {

namespace {

QLabel *label(int index, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("LabPj%1").arg(index));
    return l;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    QPushButton *b = makeButton(text, name, parent);
    b->setMinimumWidth(110);
    return b;
}

} // namespace

MergePanel::MergePanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PJumelage"));
    setFrameShape(QFrame::StyledPanel);

    // LabPj2 is the log's name, shown after the sentence of LabPj1 that it ends.
    QLabel *before = label(4, QStringLiteral(" Avant d'effectuer ce jumelage"), this);
    QLabel *advice = label(5, QStringLiteral("il est souhaitable de le sauvegarder"), this);
    QLabel *where = label(1, QStringLiteral("Les QSO seront placés à la suite du fichier "), this);
    m_logName = label(2, QString(), this);
    QFont strong = m_logName->font();
    strong.setBold(true);
    m_logName->setFont(strong);
    QLabel *after =
        label(3, QStringLiteral("Après vérification le classement sera possible"), this);

    m_backup = button(QStringLiteral("Sauvegarder"), QStringLiteral("BtPjSauvegarder"), this);
    m_merge = button(QStringLiteral("Jumeler"), QStringLiteral("BtPjumeler"), this);
    m_cancel = button(QStringLiteral("Annuler"), QStringLiteral("BtPjAnnuler"), this);
    QFont bold = m_merge->font();
    bold.setBold(true);
    m_merge->setFont(bold);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(6);
    auto *backupRow = new QHBoxLayout;
    auto *adviceBox = new QVBoxLayout;
    adviceBox->setSpacing(0);
    adviceBox->addWidget(before);
    adviceBox->addWidget(advice);
    backupRow->addLayout(adviceBox, 1);
    backupRow->addWidget(m_backup, 0, Qt::AlignVCenter);
    layout->addLayout(backupRow);
    auto *whereRow = new QHBoxLayout;
    whereRow->setSpacing(0);
    whereRow->addWidget(where);
    whereRow->addWidget(m_logName);
    whereRow->addStretch(1);
    layout->addSpacing(6);
    layout->addLayout(whereRow);
    layout->addWidget(after);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_merge);
    buttons->addWidget(m_cancel);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_merge, &QPushButton::clicked, this, &MergePanel::mergeRequested);
    connect(m_backup, &QPushButton::clicked, this, &MergePanel::backupRequested);
    connect(m_cancel, &QPushButton::clicked, this, &MergePanel::cancelRequested);
    hide();
}

void MergePanel::begin(const QString &logFileName)
{
    m_logName->setText(logFileName);
    m_backup->setEnabled(true);
    show();
    m_merge->setFocus(Qt::OtherFocusReason);
}

} // namespace ondelog
