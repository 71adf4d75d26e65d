#include "ui/widgets/ControlEvents.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

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
