// The designed layout of the main window: containers, positions and sizes of the key
// controls, their initial states, and the menus with their designed captions.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Placement
{
    const char *name;
    const char *container;
    QRect rect;
};

const Placement kPlacements[] = {
    { "topPanel", "ClientArea", { 0, 0, 612, 60 } },
    { "mainPanel", "ClientArea", { 0, 60, 612, 260 } },
    { "Image1", "topPanel", { 1, 1, 90, 58 } },
    { "TabControl1", "topPanel", { 90, 1, 521, 58 } },
    { "Combo", "TabControl1", { 8, 24, 475, 29 } },
    { "SpeedButton16", "TabControl1", { 323, 28, 23, 22 } },
    { "SpeedButton19", "TabControl1", { 392, 28, 25, 22 } },
    { "SpeedButton22", "TabControl1", { 463, 28, 23, 22 } },
    { "SpeedButton4", "TabControl1", { 486, 24, 30, 30 } },
    { "rightPanel1", "mainPanel", { 401, 1, 210, 258 } },
    { "rightPanel2", "rightPanel1", { 134, 0, 76, 258 } },
    { "Panel1", "rightPanel1", { 0, 0, 134, 258 } },
    { "ListBox1", "Panel1", { 1, 1, 132, 225 } },
    { "Button4", "Panel1", { 98, 228, 30, 30 } },
    { "Button5", "rightPanel2", { 5, 5, 66, 22 } },
    { "Button9", "rightPanel2", { 5, 30, 66, 22 } },
    { "Button12", "rightPanel2", { 5, 104, 66, 22 } },
    { "Button10", "rightPanel2", { 5, 131, 66, 40 } },
    { "Button2", "rightPanel2", { 5, 173, 66, 40 } },
    { "Button13", "rightPanel2", { 5, 215, 66, 40 } },
    { "Panel2", "mainPanel", { 1, 1, 400, 258 } },
    { "RichEdit1", "Panel2", { 1, 1, 398, 213 } },
    { "Panel3", "Panel2", { 1, 214, 398, 43 } },
    { "Button7", "Panel3", { 4, 3, 76, 36 } },
    { "SpeedButton1", "Panel3", { 83, 3, 76, 36 } },
    { "SpeedButton2", "Panel3", { 162, 3, 76, 36 } },
    { "Button1", "Panel3", { 241, 3, 76, 36 } },
    { "Button3", "Panel3", { 320, 3, 76, 36 } },
    { "SpeedButton3", "Panel3", { 320, 3, 76, 36 } },
};

QStringList titles(const QList<QAction *> &actions)
{
    QStringList t;
    for (const QAction *a : actions) {
        if (!a->isSeparator())
            t.append(a->menu() ? a->menu()->objectName() : a->objectName());
    }
    return t;
}

} // namespace

TEST_F(FormTest, ControlsSitAtTheirDesignedPlaces)
{
    writeDictionary({});
    TForm1 &form = startForm();
    QApplication::processEvents();

    EXPECT_EQ(form.centralWidget()->size(), QSize(612, 320));
    for (const Placement &p : kPlacements) {
        auto *w = form.findChild<QWidget *>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(p.container)) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
    }
    EXPECT_EQ(form.Label1->pos(), QPoint(10, 235));
}

TEST_F(FormTest, ControlsStartInTheirDesignedStates)
{
    writeDictionary({});
    TForm1 &form = startForm();

    EXPECT_FALSE(form.Button2->isEnabled());
    EXPECT_FALSE(form.SpeedButton2->isEnabled());
    EXPECT_TRUE(form.Button4->isHidden());
    EXPECT_TRUE(form.SpeedButton3->isHidden());
    EXPECT_TRUE(form.Panel4->isHidden());
    EXPECT_TRUE(form.RichEdit1->isReadOnly());
    EXPECT_TRUE(form.Combo->isEditable());
    EXPECT_EQ(form.Combo->maxVisibleItems(), 10);
    EXPECT_EQ(form.Combo->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(form.Action1->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(form.Tag, 0);
    // Nothing is chosen yet, so there is nothing to pronounce, now or after a sound.
    EXPECT_FALSE(form.Button7->isEnabled());
    EXPECT_FALSE(form.PronounceAfterPlay);
    EXPECT_TRUE(form.MarkedList.empty());

    const QToolButton *letters[]
        = { form.SpeedButton16, form.SpeedButton17, form.SpeedButton18, form.SpeedButton19,
            form.SpeedButton20, form.SpeedButton21, form.SpeedButton22 };
    const QString texts[] = { u"ö"_s, u"ç"_s, u"ş"_s, u"ğ"_s, u"ü"_s, u"ı"_s, u"İ"_s };
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(letters[i]->property("Tag").toInt(), i + 1);
        EXPECT_EQ(letters[i]->text(), texts[i]);
    }
}

TEST_F(FormTest, MenusHoldTheirItemsInOrderWithTheDesignedCaptions)
{
    writeDictionary({});
    TForm1 &form = startForm();

    EXPECT_EQ(titles(form.MainMenu1->actions()),
              (QStringList { u"N18"_s, u"N1"_s, u"N9"_s, u"Langugae1"_s, u"N2"_s }));
    EXPECT_EQ(titles(form.N18->actions()),
              (QStringList { u"N19"_s, u"N20"_s, u"N21"_s, u"ExportForAnki1"_s, u"N22"_s }));
    EXPECT_EQ(
        titles(form.N1->actions()),
        (QStringList { u"ControlC1"_s, u"PopUp1"_s, u"N10"_s, u"N13"_s, u"ReviewDueFirst1"_s }));
    EXPECT_EQ(titles(form.N10->actions()), (QStringList { u"N11"_s, u"N12"_s }));
    EXPECT_EQ(titles(form.N13->actions()), (QStringList { u"N14"_s, u"N15"_s }));
    EXPECT_EQ(titles(form.N9->actions()),
              (QStringList { u"N16"_s, u"N17"_s, u"LearningProgress1"_s }));
    EXPECT_EQ(titles(form.Langugae1->actions()), (QStringList { u"KbEg1"_s, u"KbTr1"_s }));
    EXPECT_EQ(titles(form.N2->actions()),
              (QStringList { u"F11"_s, u"N3"_s, u"N4"_s, u"MultilingualOnlineDictionary1"_s }));
    EXPECT_EQ(titles(form.PopupMenu1->actions()), QStringList { u"Delete1"_s });

    // Designed captions keep their access keys; the help item pads its key name with blanks.
    EXPECT_EQ(form.N18->title(), u"&Dosya"_s);
    EXPECT_EQ(form.N15->text(), u"&İngilizce"_s);
    EXPECT_EQ(form.F11->text(), u"&Yardım"_s + QString(24, u' ') + u"F1"_s);
}

TEST_F(FormTest, HidingTheRightPanelGivesTheArticlePaneTheRoom)
{
    writeDictionary({});
    TForm1 &form = startForm();
    QApplication::processEvents();

    form.rightPanel1->hide();
    QApplication::processEvents();
    EXPECT_EQ(form.Panel2->geometry(), QRect(1, 1, 610, 258));
    form.rightPanel1->show();
    QApplication::processEvents();
    EXPECT_EQ(form.Panel2->geometry(), QRect(1, 1, 400, 258));
}
