// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/uppercase.h"

#include <QLineEdit>
#include <QValidator>

namespace ondelog {

namespace {

// A validator sees every edit before it reaches the field, typed or pasted, and
// may rewrite it; that is the one hook that upper-cases without moving the caret.
class UpperCaseValidator : public QValidator
{
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

void makeUpperCase(QLineEdit *edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}

} // namespace ondelog
