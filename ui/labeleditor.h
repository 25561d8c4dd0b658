// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The label being written (PictTag): its eleven boxes FLdText1..11 laid out as
// the printed QSL label, and the way the card goes (direct, by the bureau, or
// via a manager). The label's values come from a contact, from the sheet, or
// from the keyboard; the sheet panel decides what becomes of them.

#include "logbook/record.h"
#include "printing/labelsheet.h"

#include <QFrame>

#include <array>
#include <cstdint>
#include <string>

class QLineEdit;
class QRadioButton;

namespace ondelog {

class LabelEditor : public QFrame
{
    Q_OBJECT

  public:
    static constexpr int kBoxCount = 11;
    static constexpr int kRstBox = 6;
    static constexpr int kModeBox = 5;

    explicit LabelEditor(QWidget *parent = nullptr);

    QLineEdit *box(int i) const { return m_boxes.at(std::size_t(i)); } ///< FLdText1..11
    /** Empties boxes 1 to `last`. */
    void clear(int last);
    /** The stored label `label`, its routing among the options. */
    void showLabel(const LabelRecord &label);
    /** The contact the record view shows (record `recordNo`): a label for it. */
    void showContact(const FieldTexts &texts, std::int32_t recordNo);
    /** The station the label comes from. */
    void setFrom(const std::string &callSign);
    /** Box 1 says the label is free again. */
    void markFree();
    /** Box 1, trimmed. */
    QString callSign() const;
    void focusCallSign();
    /** Empties the routing box (the "via" of another routing). */
    void clearRouting();
    /** The label the boxes make; a routing chosen by its option is written
     *  into its box first. */
    LabelRecord takeLabel();

  signals:
    /** Enter in a box. */
    void entered();
    /** "Direct" or "Via bureau" chosen: "DIRECT" or "BUREAU". */
    void routingChosen(const std::string &routing);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    std::array<QLineEdit *, kBoxCount + 1> m_boxes{};
    QRadioButton *m_direct = nullptr;
    QRadioButton *m_bureau = nullptr;
    QRadioButton *m_via = nullptr;
};

} // namespace ondelog
