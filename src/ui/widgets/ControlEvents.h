#pragma once

#include <QObject>

class QKeyEvent;
class QMenu;
#include <QPoint>
#include <QPointer>
#include <QString>

class QWidget;

// A key as the handlers see it. A handler sets handled to swallow the key, or changes text (a
// key-press handler) to type another character instead.
struct KeyArgs
{
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool handled = false;
};

// The enter, exit, key and double-click events of one control, as signals the window connects
// its handlers to. Made on first use and owned by the control; it also watches the control's
// focus proxy and viewport, so wrappers (date edit) and scroll areas (memo) report like plain
// edits. Focus moves to and from pop-ups and other windows are not enters or exits.
class ControlEvents : public QObject
{
    Q_OBJECT
public:
    static ControlEvents *of(QWidget *control);
    static ControlEvents *find(const QWidget *control);

    QWidget *control() const { return m_control; }

signals:
    void entered();
    void exited();
    void keyDown(KeyArgs *args); // every key press, before the control sees it
    void keyPress(KeyArgs *args); // keys that type a character
    void keyUp(KeyArgs *args);
    void doubleClicked();
    void clicked(); // a left button pressed and released on the control
    void mouseMoved(const QPoint &pos); // only while the control tracks the mouse

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ControlEvents(QWidget *control);
    void watch(QObject *object);
    // Ctrl+V and its like: answers true when the paste was taken here (filtered or refused).
    bool pasteAsTyped(QObject *watched, const QKeyEvent *key);
    // The edit's standard menu with its paste sent as Ctrl+V; none for other controls.
    static QMenu *contextMenu(QObject *watched, QPoint pos);

    QPointer<QWidget> m_control;
    bool m_inside = false;
    bool m_resending = false;
    bool m_pressed = false;
};
