// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/locatordialog.h"

#include "geo/locator.h"
#include "ui/keyboard.h"
#include "ui/qtext.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <functional>

namespace ondelog {

/** A field of the calculator that hands its keys, clicks and focus changes to
 *  the window before (keys, press) or after (release, focus) its own handling,
 *  so the window can select the whole field once the click has placed the caret. */
class CalculatorEdit : public QLineEdit
{
  public:
    using QLineEdit::QLineEdit;

    std::function<bool(QKeyEvent *)> onKey; ///< true when the key was dealt with
    std::function<void()> onPress;
    std::function<void()> onRelease;
    std::function<void()> onFocusIn;
    std::function<void(Qt::FocusReason)> onFocusOut;

  protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (onKey && onKey(event))
            return;
        QLineEdit::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (onPress)
            onPress();
        QLineEdit::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLineEdit::mouseReleaseEvent(event);
        if (onRelease)
            onRelease();
    }
    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        if (onFocusIn)
            onFocusIn();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        const Qt::FocusReason reason = event->reason();
        QLineEdit::focusOutEvent(event);
        if (onFocusOut)
            onFocusOut(reason);
    }
};

namespace {

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Runs a typed character through a field's rule. Keys without text (arrows,
// Delete) and control characters edit rather than type, and go through.
// Returns true when the key was refused or replaced by another character.
bool filterTypedKey(QLineEdit *edit, QKeyEvent *event,
                    const std::function<std::optional<char32_t>(char32_t)> &rule)
{
    const QList<uint> typed = event->text().toUcs4();
    if (typed.isEmpty() || typed.front() < 32 || typed.front() == 127)
        return false;
    const char32_t key = typed.front();
    const std::optional<char32_t> kept = rule(key);
    if (!kept)
        return true;
    if (*kept == key)
        return false;
    // insert() goes through the same path as typing (selection replaced,
    // length limit kept, textEdited emitted), with the corrected character.
    edit->insert(QString::fromUcs4(&*kept, 1));
    return true;
}

// Focus moving to another window or to a context menu is not the operator
// leaving the field.
bool isLeavingTheField(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

QLabel *makeLabel(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

LocatorDialog::LocatorDialog(const std::string &defaultLocator, QWidget *parent) : QDialog(parent)
{
    enableKeyboardConventions();
    setObjectName(QStringLiteral("Dlg2"));
    setWindowTitle(QStringLiteral("Coordonnées et locator"));
    buildWindow();
    m_calculator.open(defaultLocator);
    m_locatorEdit->setText(toQString(m_calculator.dialogLocator()));
    showAll();
}

std::string LocatorDialog::dialogLocator() const
{
    return m_calculator.dialogLocator();
}

void LocatorDialog::done(int result)
{
    // Closing by Escape or the title bar does not always take the focus off an
    // incomplete locator first; the caller must still get a whole one back.
    if (m_locatorEdit->hasFocus() || m_locatorEdit->text().trimmed().size() < 6)
        leaveLocatorField();
    m_calculator.close();
    QDialog::done(result);
}

void LocatorDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_closeButton->setFocus(Qt::OtherFocusReason);
    }
}

void LocatorDialog::buildWindow()
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(std::max(fixed.pointSizeF(), font().pointSizeF()) + 1);
    const QFontMetrics metrics(fixed);
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));

    auto *frame = new QGroupBox(QStringLiteral(" Entrer les Coordonnées ou le Locator "), this);
    frame->setObjectName(QStringLiteral("Fra1Locator"));

    auto makeEdit = [&](const char *name, int maxLength, int widthChars) {
        auto *edit = new CalculatorEdit(frame);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFont(fixed);
        edit->setMaxLength(maxLength);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(widthChars * charWidth);
        return edit;
    };

    // Each sexagesimal column is seven characters wide (six of field, one of
    // spacing) so the fixed-pitch "DEG MIN SEC" caption sits over its fields.
    const char *sexaNames[8] = {"Fr1DegText1", "Fr1MinText1", "Fr1SecText1", "Fr1LatSgnText",
                                "Fr1DegText2", "Fr1MinText2", "Fr1SecText2", "Fr1LonSgnText"};
    for (int i = 0; i < 8; ++i) {
        const auto field = static_cast<SexaField>(i + 1);
        const bool letter = isLetterField(field);
        m_sexaEdits[i] = makeEdit(sexaNames[i], fieldDigits(field), letter ? 4 : 6);
        if (!letter) {
            // Pasted text gets no key filter; digits only, like typed keys.
            m_sexaEdits[i]->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), m_sexaEdits[i]));
        }
    }
    m_latitudeCent = makeEdit("Fr1LatCent", 12, 12);
    m_longitudeCent = makeEdit("Fr1LonCent", 12, 12);
    m_locatorEdit = makeEdit("Fr1TextLocator", 6, 10);
    m_locatorEdit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont locatorFont = fixed;
    locatorFont.setBold(true);
    m_locatorEdit->setFont(locatorFont);

    auto *sexaTitle =
        makeLabel(QStringLiteral("Fr1Lab01"), QStringLiteral(" Saisie Sexagésimale"), frame);
    auto *centTitle =
        makeLabel(QStringLiteral("Fr1Lab02"), QStringLiteral("Conversion Centésimale"), frame);
    QFont titleFont = sexaTitle->font();
    titleFont.setBold(true);
    sexaTitle->setFont(titleFont);
    centTitle->setFont(titleFont);
    centTitle->setAlignment(Qt::AlignCenter);
    auto *unitsCaption =
        makeLabel(QStringLiteral("Fr1Lab03"), QStringLiteral("  DEG    MIN    SEC"), frame);
    unitsCaption->setFont(fixed);
    auto *latitudeCaption =
        makeLabel(QStringLiteral("Fr1Lab02Latitude"), QStringLiteral(" Latitude  "), frame);
    auto *longitudeCaption =
        makeLabel(QStringLiteral("Fr1Lab04"), QStringLiteral(" Longitude "), frame);
    auto *locatorCaption = makeLabel(QStringLiteral("Fr1Lab12"), QStringLiteral("Locator"), frame);
    locatorCaption->setFont(titleFont);

    auto *grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(charWidth);
    grid->setVerticalSpacing(8);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->addWidget(sexaTitle, 0, 1, 1, 4);
    grid->addWidget(centTitle, 0, 6);
    grid->addWidget(unitsCaption, 1, 1, 1, 3);
    grid->addWidget(latitudeCaption, 2, 0);
    grid->addWidget(longitudeCaption, 3, 0);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(m_sexaEdits[i], 2, i + 1);
        grid->addWidget(m_sexaEdits[i + 4], 3, i + 1);
    }
    grid->addWidget(m_latitudeCent, 2, 6);
    grid->addWidget(m_longitudeCent, 3, 6);
    grid->setColumnMinimumWidth(5, 2 * charWidth);
    grid->setRowMinimumHeight(4, 6);
    grid->addWidget(locatorCaption, 5, 0);
    grid->addWidget(m_locatorEdit, 5, 1, 1, 3, Qt::AlignLeft);

    m_closeButton = new QPushButton(QStringLiteral("Fermer"), this);
    m_closeButton->setObjectName(QStringLiteral("Fr1CmdFermer"));
    // Enter belongs to the fields (it validates them); only on the button
    // itself does it close.
    m_closeButton->setAutoDefault(false);
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (int i = 1; i <= 8; ++i)
        wireSexaField(static_cast<SexaField>(i));
    wireCentesimalField(false);
    wireCentesimalField(true);
    wireLocatorField();

    setTabOrder(m_sexaEdits[7], m_latitudeCent);
    setTabOrder(m_latitudeCent, m_longitudeCent);
    setTabOrder(m_longitudeCent, m_locatorEdit);
    setTabOrder(m_locatorEdit, m_closeButton);
}

void LocatorDialog::wireSexaField(SexaField field)
{
    CalculatorEdit *edit = sexaEdit(field);
    edit->onKey = [this, edit, field](QKeyEvent *event) {
        if (isEnter(event)) {
            sexaEnter(field);
            return true;
        }
        return filterTypedKey(edit, event, [field](char32_t c) { return filterSexaKey(field, c); });
    };
    edit->onPress = [this] { m_calculator.setMode(EntryMode::Sexagesimal); };
    edit->onRelease = [this, field] { selectField(field); };
    edit->onFocusIn = [this, field] { selectField(field); };
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString &text) { sexaEdited(field, text); });
}

void LocatorDialog::wireCentesimalField(bool longitude)
{
    CalculatorEdit *edit = longitude ? m_longitudeCent : m_latitudeCent;
    edit->onKey = [edit](QKeyEvent *event) {
        if (isEnter(event))
            return true; // nothing to validate: every change already counted
        return filterTypedKey(edit, event, filterCentesimalKey);
    };
    edit->onPress = [this] { m_calculator.setMode(EntryMode::Centesimal); };
    edit->onRelease = [edit] { edit->selectAll(); };
    edit->onFocusIn = [edit] { edit->selectAll(); };
    connect(edit, &QLineEdit::textEdited, this,
            [this, longitude](const QString &text) { centesimalEdited(longitude, text); });
}

void LocatorDialog::wireLocatorField()
{
    CalculatorEdit *edit = m_locatorEdit;
    edit->onKey = [this, edit](QKeyEvent *event) {
        if (isEnter(event)) {
            locatorEnter();
            return true;
        }
        return filterTypedKey(edit, event, filterLocatorKey);
    };
    edit->onPress = [this] { m_calculator.setMode(EntryMode::Locator); };
    edit->onRelease = [edit] { edit->selectAll(); };
    edit->onFocusIn = [edit] { edit->selectAll(); };
    edit->onFocusOut = [this](Qt::FocusReason reason) {
        if (isLeavingTheField(reason))
            leaveLocatorField();
    };
    connect(edit, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_calculator.editLocator(toCp1252(text)); });
}

CalculatorEdit *LocatorDialog::sexaEdit(SexaField field) const
{
    return m_sexaEdits[static_cast<std::size_t>(field) - 1];
}

QLineEdit *LocatorDialog::centesimalEdit(bool longitude) const
{
    return longitude ? m_longitudeCent : m_latitudeCent;
}

void LocatorDialog::selectField(SexaField field)
{
    QLineEdit *edit = sexaEdit(field);
    edit->setCursorPosition(0);
    edit->setSelection(0, fieldDigits(field));
}

void LocatorDialog::focusField(SexaField field)
{
    sexaEdit(field)->setFocus(Qt::OtherFocusReason);
    // The focus event selects too, but only once the window is active.
    selectField(field);
}

void LocatorDialog::showSexaFields()
{
    for (int i = 1; i <= 8; ++i) {
        const auto field = static_cast<SexaField>(i);
        sexaEdit(field)->setText(toQString(m_calculator.fieldText(field)));
    }
}

void LocatorDialog::showCentesimalFields()
{
    m_latitudeCent->setText(toQString(m_calculator.centesimalText(false)));
    m_longitudeCent->setText(toQString(m_calculator.centesimalText(true)));
}

void LocatorDialog::showLocatorIfValid()
{
    if (isLocatorValid(m_calculator.dialogLocator()))
        m_locatorEdit->setText(toQString(m_calculator.dialogLocator()));
}

void LocatorDialog::showAll()
{
    showSexaFields();
    if (m_calculator.mode() != EntryMode::Centesimal)
        showCentesimalFields();
}

void LocatorDialog::sexaEdited(SexaField field, const QString &text)
{
    CalculatorEdit *edit = sexaEdit(field);
    if (isLetterField(field)) {
        if (m_calculator.editLetter(field, toCp1252(text))) {
            showCentesimalFields();
            showLocatorIfValid();
            focusField(nextField(field));
        }
        return;
    }
    const auto outcome = m_calculator.editDigits(field, toCp1252(text));
    showCentesimalFields();
    showLocatorIfValid();
    switch (outcome) {
    case LocatorCalculator::DigitsOutcome::Partial:
        break;
    case LocatorCalculator::DigitsOutcome::Reset:
        edit->setText(toQString(m_calculator.fieldText(field)));
        selectField(field);
        break;
    case LocatorCalculator::DigitsOutcome::Complete:
        edit->setText(toQString(m_calculator.fieldText(field)));
        focusField(nextField(field));
        break;
    }
}

void LocatorDialog::sexaEnter(SexaField field)
{
    if (isLetterField(field)) {
        if (!sexaEdit(field)->text().isEmpty())
            focusField(nextField(field));
        return;
    }
    sexaEdit(field)->setText(toQString(m_calculator.fieldText(field)));
    focusField(nextField(field));
}

void LocatorDialog::centesimalEdited(bool longitude, const QString &text)
{
    if (!m_calculator.editCentesimal(longitude, toCp1252(text)))
        centesimalEdit(longitude)->clear();
    showLocatorIfValid();
    showAll();
}

void LocatorDialog::locatorEnter()
{
    if (!m_calculator.enterLocator())
        return;
    showAll();
    m_closeButton->setFocus(Qt::OtherFocusReason);
}

void LocatorDialog::leaveLocatorField()
{
    switch (m_calculator.leaveLocator(toCp1252(m_locatorEdit->text()))) {
    case LocatorCalculator::LeaveOutcome::Unchanged:
        break;
    case LocatorCalculator::LeaveOutcome::Restored:
        m_locatorEdit->setText(toQString(m_calculator.dialogLocator()));
        showAll();
        break;
    case LocatorCalculator::LeaveOutcome::Applied:
        showAll();
        break;
    }
}

} // namespace ondelog
