// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locator calculator window: a position typed as degrees, minutes and
// seconds, as decimal degrees or as a locator, the two other forms following
// as it is typed. The arithmetic and the rules of each field live in
// setup/locatorconversion.h; this window wires keys, clicks and focus to them.

#include "setup/locatorconversion.h"

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;

namespace ondelog {

class CalculatorEdit;

class LocatorDialog : public QDialog
{
    Q_OBJECT
  public:
    /** Opens on `defaultLocator` (JN18EU when empty or invalid). */
    explicit LocatorDialog(const std::string &defaultLocator, QWidget *parent = nullptr);
    /** The dialog locator when it closed (6 characters, may be invalid). */
    std::string dialogLocator() const;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void buildWindow();
    void wireSexaField(SexaField field);
    void wireCentesimalField(bool longitude);
    void wireLocatorField();

    CalculatorEdit *sexaEdit(SexaField field) const;
    QLineEdit *centesimalEdit(bool longitude) const;

    void selectField(SexaField field);
    void focusField(SexaField field);
    void showSexaFields();
    void showCentesimalFields();
    void showLocatorIfValid();
    void showAll();

    void sexaEdited(SexaField field, const QString &text);
    void sexaEnter(SexaField field);
    void centesimalEdited(bool longitude, const QString &text);
    void locatorEnter();
    void leaveLocatorField();

    LocatorCalculator m_calculator;
    std::array<CalculatorEdit *, 8> m_sexaEdits{};
    CalculatorEdit *m_latitudeCent = nullptr;
    CalculatorEdit *m_longitudeCent = nullptr;
    CalculatorEdit *m_locatorEdit = nullptr;
    QPushButton *m_closeButton = nullptr;
    bool m_shownOnce = false;
};

} // namespace ondelog
