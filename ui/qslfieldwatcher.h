// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A click in the empty "Ma QSL" field of a contact shown in the record view
// starts a QSL label for that contact, rather than a change of the field. Only
// on the station's own log, writable, while nothing else is under way.

#include <QObject>
#include <QPointer>

class QLineEdit;

namespace ondelog {

class LabelSheetPanel;
class MainWindow;
class RecordPanel;

class QslFieldWatcher : public QObject
{
    Q_OBJECT

  public:
    /** Watches the MQSL field of `record`. Made after the editor of the record
     *  view: the filter installed last sees a press first, and keeps the one
     *  that starts a label from being taken for the start of a change. */
    QslFieldWatcher(MainWindow &window, RecordPanel &record, LabelSheetPanel &sheet);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool startsLabel() const;

    MainWindow &m_window;
    RecordPanel &m_record;
    LabelSheetPanel &m_sheet;
    QPointer<QLineEdit> m_field;
};

} // namespace ondelog
