// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Changer de Locator" during an entry: the panel PictChangLocator under the
// record view takes the new station locator, for the rest of the run or, box
// checked, for good; then the focus goes back where it was.

#include <QObject>
#include <QPointer>

#include <string>

class QWidget;

namespace ondelog {

class ChangeLocatorPanel;
class MainWindow;
class RecordPanel;

class LocatorChange : public QObject
{
    Q_OBJECT

  public:
    /** Adds its panel to `window`, below the record view `record`. */
    LocatorChange(MainWindow &window, RecordPanel &record);

    /** Shows the panel; only during an entry. */
    void open();
    /** The entry ends: the change goes with it, and cannot later write its
     *  locator over the own-locator field of a record shown. */
    void cancel();

  signals:
    /** A new station locator was chosen and the panel has closed. */
    void changed();

  private:
    void close();

    MainWindow &m_window;
    RecordPanel &m_record;
    ChangeLocatorPanel *m_panel = nullptr;
    QPointer<QWidget> m_focusBefore;
};

} // namespace ondelog
