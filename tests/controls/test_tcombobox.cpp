// The word box's drop-down list: opens without the keyboard, follows the current item, picks on
// a click and closes on Escape.
#include "controls/tcombobox.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>

TEST(TComboBoxTest, ListOpensWithoutTheKeyboardAndPicksOnClick)
{
    QWidget window;
    TComboBox box(&window);
    box.setEditable(true);
    box.setCompleter(nullptr);
    QStringListModel model(
        { QStringLiteral("ran"), QStringLiteral("run"), QStringLiteral("runner") });
    box.setModel(&model);
    box.setCurrentIndex(-1);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box.setFocus();

    box.showPopup();
    ASSERT_TRUE(box.isPopupVisible());
    QTest::keyClicks(&box, QStringLiteral("ru"));
    EXPECT_EQ(box.currentText(), QStringLiteral("ru")); // typing still edits the text
    EXPECT_TRUE(box.isPopupVisible());

    box.setCurrentIndex(1);
    box.syncPopupHighlight();
    EXPECT_EQ(box.popupList()->currentIndex().row(), 1);
    // Keys that reach the list window go to the box.
    QTest::keyClick(box.popupList(), Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), 2);
    EXPECT_EQ(box.popupList()->currentIndex().row(), 2);

    QSignalSpy activated(&box, &QComboBox::activated);
    const QRect first = box.popupList()->visualRect(model.index(0, 0));
    QTest::mouseClick(box.popupList()->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("ran"));
    EXPECT_FALSE(box.isPopupVisible());

    box.showPopup();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isPopupVisible());

    QStringListModel empty;
    box.setModel(&empty);
    box.showPopup(); // nothing to show
    EXPECT_FALSE(box.isPopupVisible());
}

TEST(TComboBoxTest, ChosenItemIsWhollySelectedAndRowsOfAReplacedListAreIgnored)
{
    QWidget window;
    TComboBox box(&window);
    box.setEditable(true);
    box.setCompleter(nullptr);
    QStringListModel model(
        { QStringLiteral("ran"), QStringLiteral("run"), QStringLiteral("runner") });
    box.setModel(&model);
    box.setCurrentIndex(-1);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box.setFocus();

    // Typed text that moves the current item stays as typed; the arrow keys and a click choose.
    QTest::keyClicks(&box, QStringLiteral("ru"));
    box.setCurrentIndex(1);
    box.setEditText(QStringLiteral("ru"));
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentText(), QStringLiteral("runner"));
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("runner"));
    box.showPopup();
    QListView *list = box.popupList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(model.index(0, 0)).center());
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("ran"));

    // The list shown before the box got other items names nothing in them.
    box.showPopup();
    ASSERT_TRUE(box.isPopupVisible());
    const QRect oldRow = list->visualRect(model.index(2, 0));
    QStringListModel other({ QStringLiteral("b"), QStringLiteral("ba"), QStringLiteral("bad") });
    box.setModel(&other);
    QSignalSpy activated(&box, &QComboBox::activated);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, oldRow.center());
    EXPECT_EQ(activated.count(), 0);
    EXPECT_NE(box.currentText(), QStringLiteral("bad"));
}
