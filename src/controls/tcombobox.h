// TComboBox: an editable combo box whose drop-down list opens without taking the keyboard, so
// typing, Enter and Ctrl keep going to the edit field while the list is shown, as in a
// drop-down combo box of the desktop the program was designed for. An item chosen from the
// list leaves its text wholly selected.
#pragma once

#include <QComboBox>

class QListView;

class TComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TComboBox(QWidget *parent = nullptr);
    ~TComboBox() override;

    // Opens the list under the box (at most maxVisibleItems() rows), highlighting the current
    // item; does nothing when the box holds no items.
    void showPopup() override;
    void hidePopup() override;
    bool isPopupVisible() const;

    // The list window's view (for tests and for keeping its highlight in step).
    QListView *popupList() const { return m_list; }
    // Highlights the current item in the open list.
    void syncPopupHighlight();
    // Selects the whole edit text, as the box leaves it after an item is chosen from its list
    // (a click on a row, the arrow keys), so the next typed character starts a new word.
    void selectWholeText();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(const QModelIndex &index);

    QListView *m_list;
};
