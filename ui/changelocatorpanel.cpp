// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/changelocatorpanel.h"

#include "geo/locator.h"
#include "text/text.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/uppercase.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ondelog {

namespace {

// The focus coming back from another window or from the field's own context
// menu is not the operator entering the field: what was typed stays (a paste
// from that menu would otherwise land on the station locator).
bool isOperatorFocus(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

ChangeLocatorPanel::ChangeLocatorPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PictChangLocator"));
    setFrameShape(QFrame::StyledPanel);

    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    QLabel *title = label("ChangLocLab1", QStringLiteral(" Changement de locator"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.1);
    title->setFont(bold);
    QLabel *line2 =
        label("ChangLocLab2", QStringLiteral("Ce Locator sert pour le calcul des distances,"));
    QLabel *line3 = label("ChangLocLab3", QStringLiteral("il figurera sur la fiche du QSO."));
    QLabel *fieldCaption = label("ChangLocLab6", QStringLiteral("_Mon Locator__"));

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("ChangLocText"));
    m_text->setMaxLength(6);
    m_text->setMaximumWidth(m_text->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWW")) +
                            16);
    makeUpperCase(m_text);
    m_text->installEventFilter(this);

    m_keep = new QCheckBox(QStringLiteral("Garder en mémoire"), this);
    m_keep->setObjectName(QStringLiteral("ChangLocChk"));
    QLabel *hint1 = label("ChangLocLab4", QStringLiteral(" A cocher pour le retrouver "));
    QLabel *hint2 = label("ChangLocLab5", QStringLiteral(" à chaque lancement du programme"));
    for (QLabel *hint : {hint1, hint2}) {
        QPalette muted = hint->palette();
        muted.setColor(QPalette::WindowText, QColor(0x55, 0x5b, 0x66));
        hint->setPalette(muted);
    }

    m_validate = new QPushButton(QStringLiteral("Valider"), this);
    m_validate->setObjectName(QStringLiteral("BtChangValid"));
    m_validate->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    m_cancel->setObjectName(QStringLiteral("BtChangAnnul"));
    m_cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 12);
    layout->addWidget(title);
    layout->addWidget(line2);
    layout->addWidget(line3);
    auto *fieldRow = new QGridLayout;
    fieldRow->addWidget(fieldCaption, 0, 0);
    fieldRow->addWidget(m_text, 1, 0);
    auto *keepBox = new QVBoxLayout;
    keepBox->setSpacing(0);
    keepBox->addWidget(m_keep);
    keepBox->addWidget(hint1);
    keepBox->addWidget(hint2);
    fieldRow->addLayout(keepBox, 0, 1, 2, 1);
    fieldRow->setColumnStretch(1, 1);
    fieldRow->setHorizontalSpacing(18);
    layout->addLayout(fieldRow);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_validate);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    connect(m_validate, &QPushButton::clicked, this, &ChangeLocatorPanel::validate);
    connect(m_cancel, &QPushButton::clicked, this, &ChangeLocatorPanel::cancel);
    // "Valider" stands for the locator checked with Enter: editing the field
    // afterwards withdraws it until the new text is checked in its turn.
    connect(m_text, &QLineEdit::textEdited, this, [this] { m_validate->hide(); });
    hide();
}

void ChangeLocatorPanel::begin(const std::string &stationLocator)
{
    m_stationLocator = stationLocator;
    m_chosen.clear();
    m_validate->hide();
    show();
    // The field shows the station locator whenever it takes the focus; make sure
    // it does even when it had the focus already.
    if (m_text->hasFocus())
        m_text->clearFocus();
    m_text->setFocus(Qt::OtherFocusReason);
}

bool ChangeLocatorPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_text)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && !m_showingError &&
        isOperatorFocus(static_cast<QFocusEvent *>(event)->reason())) {
        m_text->setText(toQString(m_stationLocator));
        // After a click the caret lands where the mouse was; select afterwards.
        QTimer::singleShot(0, m_text, [text = m_text] { text->selectAll(); });
    } else if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            takeTypedLocator();
            return true;
        }
        if (m_showingError)
            return true; // the field is only showing the error
    }
    return QFrame::eventFilter(watched, event);
}

void ChangeLocatorPanel::takeTypedLocator()
{
    if (m_showingError)
        return;
    const std::string typed = trim(toCp1252(m_text->text()));
    if (typed.size() != 6)
        return;
    if (isLocatorValid(typed)) {
        m_chosen = typed;
        m_validate->show();
        m_validate->setFocus(Qt::OtherFocusReason);
        return;
    }
    showErrorForOneSecond(m_text, m_showingError);
}

void ChangeLocatorPanel::validate()
{
    if (m_chosen.empty())
        return;
    const std::string chosen = m_chosen;
    hide();
    emit locatorChosen(chosen, m_keep->isChecked());
}

void ChangeLocatorPanel::cancel()
{
    m_text->clear();
    hide();
    emit cancelled();
}

} // namespace ondelog
