#include "ui/widgets/ComboBox.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

ComboBox::ComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(16);
    // Any change of the entries made otherwise than by setEntries forgets the given list.
    const auto forget = [this] {
        m_givenCurrent = false;
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this, forget);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model(), &QAbstractItemModel::dataChanged, this, forget);
    connect(model(), &QAbstractItemModel::modelReset, this, forget);
    connect(model(), &QAbstractItemModel::layoutChanged, this, forget);
    // Outside a key press every text is chosen as it is: a pick, the program's own value.
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (m_keyDepth == 0)
            choose(text);
    });
}

QString ComboBox::chosenText() const
{
    // A text changed without a signal (the program's own, signals blocked) is taken as shown.
    return m_chosenShown == currentText() ? m_chosen : currentText();
}

void ComboBox::commitTyped()
{
    // A text chosen that is an entry in other letter case takes the entry's own spelling.
    adoptCompletionCase();
    choose(currentText());
}

void ComboBox::choose(const QString &text)
{
    const bool changed = text != m_chosen;
    m_chosen = text;
    m_chosenShown = currentText();
    if (changed)
        emit chosenTextChanged();
}

void ComboBox::setDropDownList(bool dropDownList)
{
    if (dropDownList == isDropDownList())
        return;
    setEditable(!dropDownList);
    if (dropDownList)
        return;
    setInsertPolicy(QComboBox::NoInsert);
    auto *completer = new QCompleter(model(), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    setCompleter(completer);
    if (m_maxLength > 0)
        lineEdit()->setMaxLength(m_maxLength);
}

void ComboBox::setListWidth(int width)
{
    m_listWidth = std::max(width, 0);
}

void ComboBox::setMaxLength(int length)
{
    m_maxLength = std::max(length, 0);
    if (lineEdit())
        lineEdit()->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

QStringList ComboBox::entries() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

void ComboBox::setEntries(const QStringList &entries, int selected)
{
    // The same list again (a record reloaded) keeps its model: only the selection changes.
    if (!(m_givenCurrent ? entries == m_given : entries == this->entries())) {
        clear();
        addItems(entries);
    }
    m_given = entries;
    m_givenCurrent = true;
    const int wanted = selected >= 0 && selected < count() ? selected : -1;
    if (wanted != currentIndex() || currentText() != (wanted < 0 ? QString() : itemText(wanted))) {
        setCurrentIndex(wanted);
        if (wanted < 0 && isEditable())
            setEditText(QString());
    }
    // A long entry shows its start (filling an empty box selects its first entry, with the
    // cursor at its end).
    if (lineEdit() && lineEdit()->cursorPosition() != 0)
        lineEdit()->setCursorPosition(0);
}

void ComboBox::setText(const QString &text)
{
    if (isEditable()) {
        setEditText(text);
        lineEdit()->setCursorPosition(0);
    } else
        setCurrentIndex(findText(text, Qt::MatchExactly));
}

void ComboBox::showPopup()
{
    view()->setMinimumWidth(std::max(m_listWidth, width()));
    QComboBox::showPopup();
}

void ComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    // After the mouse press that gave the focus, which would place the cursor instead.
    QTimer::singleShot(0, this, [this] {
        if (lineEdit() && hasFocus())
            lineEdit()->selectAll();
    });
}

void ComboBox::focusOutEvent(QFocusEvent *event)
{
    // The focus given back before this event arrived (a refused text keeps the focus): the box
    // did not lose it, and its line must keep its completion.
    if (hasFocus())
        return;
    QComboBox::focusOutEvent(event);
    // Leaving the box takes what it shows, an offered completion included, and shows its
    // start.
    if (event->reason() != Qt::PopupFocusReason) {
        commitTyped();
        if (lineEdit())
            lineEdit()->setCursorPosition(0);
    }
}

void ComboBox::keyPressEvent(QKeyEvent *event)
{
    // What is typed keeps its letters as typed: an entry's spelling is taken only once the
    // entry is chosen (typed past it, the text is the user's own).
    ++m_keyDepth;
    QComboBox::keyPressEvent(event);
    --m_keyDepth;
    QLineEdit *edit = lineEdit();
    const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint();
    const int key = event->key();
    if (edit && typed && edit->hasSelectedText() && edit->selectionStart() > 0
        && edit->selectionStart() + edit->selectedText().size() == edit->text().size()) {
        // The completion offered after the typed letters is not chosen yet.
        choose(edit->text().left(edit->selectionStart()));
    } else if (edit && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        commitTyped();
    } else {
        choose(edit && typed ? edit->text() : currentText());
    }
}

// Inline completion keeps the letters as typed ("peUGEOT"); a chosen text takes the entry's own.
void ComboBox::adoptCompletionCase()
{
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    const QString text = edit->text();
    const int entry = findText(text, Qt::MatchFixedString);
    if (entry < 0 || itemText(entry) == text)
        return;
    edit->setText(itemText(entry));
}
