// The eight settings commands: check marks, when a command acts, and what it stores in
// Dictionary.cfg (through the menu items, as the user triggers them).
#include "apptestenvironment.h"

#include <ostream>

#include <QAction>
#include <QTextEdit>

using namespace Qt::Literals::StringLiterals;

namespace {

struct CommandCase
{
    const char *item; // object name of the menu item
    const char *fileAfter; // Dictionary.cfg after one trigger from the designed state
    const char *checkedAfter; // the items checked afterwards, of the eight
};

void PrintTo(const CommandCase &c, std::ostream *out)
{
    *out << c.item;
}

class CommandTest : public FormTest, public ::testing::WithParamInterface<CommandCase>
{
};

QString checkedItems(TForm1 &form)
{
    QStringList names;
    for (QAction *a : { form.ControlC1, form.PopUp1, form.N11, form.N12, form.N14, form.N15,
                        form.KbEg1, form.KbTr1 }) {
        if (a->isChecked())
            names.append(a->objectName());
    }
    return names.join(u' ');
}

} // namespace

TEST_P(CommandTest, OneTriggerFromTheDesignedState)
{
    const CommandCase &c = GetParam();
    writeDictionary({});
    TForm1 &form = startForm();
    ASSERT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11111");

    auto *item = form.findChild<QAction *>(QString::fromLatin1(c.item));
    ASSERT_NE(item, nullptr) << c.item;
    item->trigger();

    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), c.fileAfter);
    EXPECT_EQ(checkedItems(form), QString::fromLatin1(c.checkedAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTest,
    ::testing::Values(
        // Toggles always act.
        CommandCase { "ControlC1", "01111\r\n", "PopUp1 N11 N14 KbEg1" },
        CommandCase { "PopUp1", "10111\r\n", "ControlC1 N11 N14 KbEg1" },
        // A command whose item is already checked does nothing, not even a write.
        CommandCase { "N11", "11111", "ControlC1 PopUp1 N11 N14 KbEg1" },
        CommandCase { "N14", "11111", "ControlC1 PopUp1 N11 N14 KbEg1" },
        CommandCase { "KbEg1", "11111", "ControlC1 PopUp1 N11 N14 KbEg1" },
        // Switching to the other alternative stores its position as "0".
        CommandCase { "N12", "11011\r\n", "ControlC1 PopUp1 N12 N14 KbEg1" },
        CommandCase { "N15", "11101\r\n", "ControlC1 PopUp1 N11 N15 KbEg1" },
        CommandCase { "KbTr1", "11110\r\n", "ControlC1 PopUp1 N11 N14 KbTr1" }),
    [](const ::testing::TestParamInfo<CommandCase> &info) { return std::string(info.param.item); });

TEST_F(FormTest, SwitchingToEnglishAndBackRewritesTheFileTwice)
{
    writeDictionary({});
    TForm1 &form = startForm();

    form.N15->trigger();
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11101\r\n");
    EXPECT_EQ(form.Config.flags(), "11101");
    form.N14->trigger();
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11111\r\n");
    EXPECT_TRUE(form.N14->isChecked());
    EXPECT_FALSE(form.N15->isChecked());
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(FormTest, TheStartTextFollowsTheInterfaceLanguage)
{
    writeDictionary({});
    TForm1 &form = startForm();

    form.N15->trigger();
    form.writeStartText();
    EXPECT_TRUE(form.RichEdit1->toPlainText().contains(u"Insert a word and press :"_s));
    EXPECT_FALSE(form.RichEdit1->toPlainText().contains(u"Kelimeyi giriniz;"_s));
    form.N14->trigger();
    form.writeStartText();
    EXPECT_TRUE(form.RichEdit1->toPlainText().contains(u"Kelimeyi giriniz;"_s));
}

TEST_F(FormTest, TogglingPopUpWithTheFileMissingStoresNothing)
{
    writeDictionary({});
    TForm1 &form = startForm();
    std::filesystem::remove(file("Dictionary.cfg"));

    form.PopUp1->trigger();
    EXPECT_FALSE(form.PopUp1->isChecked());
    EXPECT_EQ(form.Config.flags(), "10111"); // the setting changes; only the file is missing
    EXPECT_FALSE(zarel::test::exists(file("Dictionary.cfg")));
    form.PopUp1->trigger();
    EXPECT_TRUE(form.PopUp1->isChecked());
    EXPECT_FALSE(zarel::test::exists(file("Dictionary.cfg")));
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(FormTest, ShortFileIsWrittenInFullByTheNextCommand)
{
    writeDictionary({});
    zarel::test::writeFile(file("Dictionary.cfg"), "1");
    TForm1 &form = startForm();

    form.PopUp1->trigger();
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11000\r\n");
}

TEST_F(FormTest, CommandsCalledFromCodeActLikeTheMenu)
{
    writeDictionary({});
    TForm1 &form = startForm();

    form.ControlC1Click();
    EXPECT_FALSE(form.ControlC1->isChecked());
    form.ControlC1Click();
    EXPECT_TRUE(form.ControlC1->isChecked());
    form.KbTr1Click();
    form.KbTr1Click(); // already in force: nothing more
    EXPECT_TRUE(form.KbTr1->isChecked());
    EXPECT_FALSE(form.KbEg1->isChecked());
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11110\r\n");
}
