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
