#include "ui/widgets/ControlEvents.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

bool ControlEvents::pasteAsTyped(QObject *watched, const QKeyEvent *key)
{
    // The pasted text goes through the control's key filter as if it were typed, so that a
    // plate or a telephone number pasted from elsewhere reads as one typed here. Line breaks
    // stay: a memo keeps them, a filter that wants none drops them.
    const QString pasted = QGuiApplication::clipboard()->text();
    if (pasted.isEmpty())
        return false;
    KeyArgs args {key->key(), Qt::NoModifier, pasted};
    emit keyPress(&args);
    if (args.handled || args.text.isEmpty())
        return true;
    // Nothing filtered: the control pastes as it always does.
    if (args.text == pasted)
        return false;
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, args.text);
    m_resending = true;
    QCoreApplication::sendEvent(watched, &typed);
    m_resending = false;
    return true;
}

namespace {

// By its name where the toolkit gives one (a memo's menu), else by its shortcut (a line's).
QAction *pasteAction(const QMenu &menu)
{
    if (auto *named = menu.findChild<QAction *>(QStringLiteral("edit-paste")))
        return named;
    const QString shortcut
            = u'\t' + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction *action : menu.actions())
        if (action->text().endsWith(shortcut))
            return action;
    return nullptr;
}

} // namespace

QMenu *ControlEvents::contextMenu(QObject *watched, QPoint pos)
{
    // A memo's menu event comes to its viewport.
    QObject *target = watched;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(watched->parent());
        area && area->viewport() == watched)
        target = area;
    QMenu *menu = nullptr;
    if (auto *line = qobject_cast<QLineEdit *>(target))
        menu = line->createStandardContextMenu();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(target))
        menu = memo->createStandardContextMenu(pos);
    if (!menu)
        return nullptr;
    // "Coller" pastes as Ctrl+V does, through the key filters, instead of inserting the
    // clipboard as it stands.
    if (QAction *paste = pasteAction(*menu)) {
        paste->disconnect();
        auto *widget = static_cast<QWidget *>(target);
        connect(paste, &QAction::triggered, widget, [widget] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
            QCoreApplication::sendEvent(widget, &press);
        });
    }
    return menu;
}

ControlEvents *ControlEvents::of(QWidget *control)
{
    if (ControlEvents *existing = find(control))
        return existing;
    return new ControlEvents(control);
}

ControlEvents *ControlEvents::find(const QWidget *control)
{
    return control ? control->findChild<ControlEvents *>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr;
}

ControlEvents::ControlEvents(QWidget *control)
    : QObject(control)
    , m_control(control)
{
    watch(control);
    if (QWidget *proxy = control->focusProxy())
        watch(proxy);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
        watch(area->viewport());
}

void ControlEvents::watch(QObject *object)
{
    object->installEventFilter(this);
}

bool ControlEvents::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            break;
        const bool in = event->type() == QEvent::FocusIn;
        if (in != m_inside) {
            m_inside = in;
            if (in)
                emit entered();
            else
                emit exited();
        }
        break;
    }
    case QEvent::KeyPress: {
        // Keys the focus proxy leaves unused come back up to the control: seen once only.
        if (m_resending || (watched == m_control && m_control->focusProxy()))
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        KeyArgs args {key->key(), key->modifiers(), key->text()};
        emit keyDown(&args);
        if (args.handled)
            return true;
        if (key->matches(QKeySequence::Paste))
            return pasteAsTyped(watched, key);
        if (key->text().isEmpty() || !key->text().at(0).isPrint())
            break;
        const QString typed = args.text;
        emit keyPress(&args);
        if (args.handled || args.text.isEmpty())
            return true;
        if (args.text != typed) {
            QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(), args.text,
                               key->isAutoRepeat(), ushort(key->count()));
            m_resending = true;
            QCoreApplication::sendEvent(watched, &replaced);
            m_resending = false;
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        if (watched == m_control && m_control->focusProxy())
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        KeyArgs args {key->key(), key->modifiers(), key->text()};
        emit keyUp(&args);
        if (args.handled)
            return true;
        break;
    }
    case QEvent::ContextMenu: {
        auto *request = static_cast<QContextMenuEvent *>(event);
        QMenu *menu = contextMenu(watched, request->pos());
        if (!menu)
            break;
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(request->globalPos());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        emit doubleClicked();
        break;
    case QEvent::MouseButtonPress:
        m_pressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool inside = watched->isWidgetType()
                && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
        if (m_pressed && mouse->button() == Qt::LeftButton && inside) {
            m_pressed = false;
            emit clicked();
        }
        m_pressed = false;
        break;
    }
    case QEvent::MouseMove:
        emit mouseMoved(static_cast<QMouseEvent *>(event)->position().toPoint());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
