// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include "ui/waitcursor.h"

#include <QFrame>
#include <QMessageBox>
#include <QPushButton>

namespace ondelog {

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QFrame *makePanel(const QString &name, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

namespace {

void messageBox(QMessageBox::Icon icon, const char *name, QWidget *parent, const QString &text)
{
    NormalCursor normal;
    QMessageBox box(icon, QStringLiteral("Ondelog"), text, QMessageBox::Ok, parent);
    box.setObjectName(QString::fromLatin1(name));
    box.exec();
}

} // namespace

void warningBox(QWidget *parent, const QString &text)
{
    messageBox(QMessageBox::Warning, "OndelogAlerte", parent, text);
}

void informationBox(QWidget *parent, const QString &text)
{
    messageBox(QMessageBox::Information, "OndelogInfo", parent, text);
}

} // namespace ondelog
