// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qslfieldwatcher.h"

#include "logbook/record.h"
#include "ui/labelsheetpanel.h"
#include "ui/mainwindow.h"
#include "ui/recordpanel.h"

#include <QEvent>
#include <QLineEdit>

namespace ondelog {

QslFieldWatcher::QslFieldWatcher(MainWindow &window, RecordPanel &record, LabelSheetPanel &sheet)
    : QObject(&window), m_window(window), m_record(record), m_sheet(sheet),
      m_field(record.field(static_cast<int>(Field::MQSL)))
{
    // Filters installed last see the events first.
    m_field->installEventFilter(this);
}

bool QslFieldWatcher::startsLabel() const
{
    // Another station's log keeps the usual change of the field.
    const LogFile &log = m_window.logFile();
    return m_field->text().trimmed().isEmpty() && m_window.isLogOpen() && m_window.isOwnLog() &&
           !m_window.isEntrySession() && log.isOpen() && !log.isReadOnly() &&
           m_record.displayedRecord() > 0 && m_window.mode() != WindowMode::Confirmation;
}

bool QslFieldWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field.data() && event->type() == QEvent::MouseButtonPress && startsLabel()) {
        m_sheet.startFromContact(m_record.fieldTexts(), m_record.displayedRecord());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ondelog
