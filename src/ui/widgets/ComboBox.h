#pragma once

#include <QComboBox>

// A combo box with completion. As a drop-down list it only selects entries; switched to
// editable at run time, typed text is completed inline from the entries (case ignored), the
// list does not open by itself, typed text is never added as an entry, and the text is
// selected on entry. Its list may be wider than the box.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget *parent = nullptr);

    bool isDropDownList() const { return !isEditable(); }
    void setDropDownList(bool dropDownList);

    int listWidth() const { return m_listWidth; }
    void setListWidth(int width); // 0: as wide as the box

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length); // typed text, 0: no limit

    QStringList entries() const;
    // Replaces the entries and selects one (-1: none, which empties an editable box's text).
    void setEntries(const QStringList &entries, int selected);
    // Editable: the text as given; drop-down list: the first entry showing it, or none.
    void setText(const QString &text);

    void showPopup() override;

    // The text the user has chosen: while an offered completion stands selected after what
    // was typed, only what was typed; otherwise the text shown. An entry is chosen when it is
    // picked, typed whole, or left with its completion.
    QString chosenText() const;
    // Takes the text shown as chosen (a save asked while the box is still being typed in).
    void commitTyped();

signals:
    // The chosen text changed: the box's change event.
    void chosenTextChanged();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void adoptCompletionCase();
    void choose(const QString &text);

    int m_keyDepth = 0; // > 0 inside a key press: the completion is not chosen yet
    QString m_chosen;
    QString m_chosenShown; // the text shown when m_chosen was taken

    int m_listWidth = 0;
    int m_maxLength = 0;
    // The entries as last given, while the model has not changed since.
    QStringList m_given;
    bool m_givenCurrent = false;
};
