// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogparts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace ondelog {

QDialogButtonBox *okCancelButtons(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("BtOK"));
    ok->setText(QStringLiteral("&OK"));
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("BtAnnuler"));
    cancel->setText(QStringLiteral("&Annuler"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLabel *errorLine(QWidget *parent)
{
    auto *line = new QLabel(parent);
    line->setObjectName(QStringLiteral("LabErreur"));
    line->setStyleSheet(QStringLiteral("color: #b00020;"));
    line->setWordWrap(true);
    line->hide();
    return line;
}

void showError(QLabel *line, const QString &text)
{
    line->setText(text);
    line->setVisible(!text.isEmpty());
}

} // namespace ondelog
