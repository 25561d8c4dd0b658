// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The panel in which the operator changes the station locator while entering
// contacts: for the rest of the run, or, with the box checked, for good.

#include <QFrame>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ondelog {

class ChangeLocatorPanel : public QFrame
{
    Q_OBJECT

  public:
    explicit ChangeLocatorPanel(QWidget *parent = nullptr);

    /** Shows the panel for a change of `stationLocator`: "Valider" hidden until a
     *  valid locator is entered, the focus in the locator field. */
    void begin(const std::string &stationLocator);

    QLineEdit *locatorField() const { return m_text; }         ///< ChangLocText
    QCheckBox *keepBox() const { return m_keep; }              ///< ChangLocChk
    QPushButton *validateButton() const { return m_validate; } ///< BtChangValid
    QPushButton *cancelButton() const { return m_cancel; }     ///< BtChangAnnul

  signals:
    /** "Valider": `locator` is a valid locator; `keep` asks for it to be written
     *  into the configuration. The panel has hidden itself. */
    void locatorChosen(const std::string &locator, bool keep);
    /** "Annuler": nothing changes. The panel has hidden itself. */
    void cancelled();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void takeTypedLocator();
    void validate();
    void cancel();

    std::string m_stationLocator;
    std::string m_chosen; // the locator that made "Valider" appear
    bool m_showingError = false;

    QLineEdit *m_text = nullptr;
    QCheckBox *m_keep = nullptr;
    QPushButton *m_validate = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace ondelog
