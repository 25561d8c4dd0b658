// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/clockicon.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace ondelog {

QToolButton *makeClockButton(const QString &name, QWidget *parent)
{
    const int size = 28;
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette pal = parent->palette();
        painter.setPen(QPen(pal.color(QPalette::WindowText), 1.6));
        painter.setBrush(pal.color(QPalette::Base));
        const QRectF face(2, 2, size - 4, size - 4);
        painter.drawEllipse(face);
        const QPointF centre = face.center();
        for (int i = 0; i < 12; ++i) {
            painter.save();
            painter.translate(centre);
            painter.rotate(i * 30.0);
            painter.drawLine(QPointF(0, -face.height() / 2 + 2),
                             QPointF(0, -face.height() / 2 + 4));
            painter.restore();
        }
        painter.setPen(QPen(pal.color(QPalette::WindowText), 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre, centre + QPointF(0, -8));
        painter.drawLine(centre, centre + QPointF(6, 3));
    }
    auto *icon = new QToolButton(parent);
    icon->setObjectName(name);
    icon->setIcon(QIcon(pixmap));
    icon->setIconSize(QSize(size, size));
    icon->setAutoRaise(true);
    icon->setToolTip(QStringLiteral("Mise à l'heure"));
    return icon;
}

} // namespace ondelog
