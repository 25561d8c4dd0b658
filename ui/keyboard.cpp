// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace ondelog {

namespace {

bool pressFocusedButton(QObject *watched, const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *button = qobject_cast<QAbstractButton *>(watched);
    // Check boxes and option buttons keep Space; Enter on them would be a surprise.
    if (!button || !(qobject_cast<QPushButton *>(button) || qobject_cast<QToolButton *>(button)))
        return false;
    if (!button->hasFocus() || !button->isEnabled() || !button->isVisible())
        return false;
    if (!key.isAutoRepeat())
        button->click();
    return true;
}

void giveKeyboardBack(QWidget *dialog)
{
    QWidget *parent = dialog->parentWidget();
    if (!parent)
        return;
    QPointer<QWidget> owner = parent->window();
    // Once the dialog's own closing is through: whatever the code that opened
    // it does next with the focus is then already done.
    QTimer::singleShot(0, owner, [owner] {
        if (!owner || !owner->isVisible())
            return;
        QWidget *active = QApplication::activeWindow();
        if (active && active != owner && active->isVisible())
            return; // another window has the keyboard: leave it there
        if (active != owner)
            owner->activateWindow();
        if (QWidget *focus = owner->focusWidget())
            focus->setFocus(Qt::ActiveWindowFocusReason);
    });
}

class KeyboardConventions : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            return pressFocusedButton(watched, *static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::Hide && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->isModal())
                giveKeyboardBack(widget);
        }
        return false;
    }
};

} // namespace

void enableKeyboardConventions()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    static const char *const kName = "OndelogKeyboardConventions";
    if (app->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new KeyboardConventions(app);
    filter->setObjectName(QLatin1String(kName));
    app->installEventFilter(filter);
}

} // namespace ondelog
