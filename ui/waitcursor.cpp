// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/waitcursor.h"

#include <QApplication>
#include <QCursor>

namespace ondelog {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

NormalCursor::NormalCursor()
{
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++m_lifted;
    }
}

NormalCursor::~NormalCursor()
{
    for (int i = 0; i < m_lifted; ++i)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

} // namespace ondelog
