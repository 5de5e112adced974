// The data update through the real launcher, end to end: the launcher prepares a data folder, the
// user adds an English and a Turkish word through the add-word dialog, a newer builder makes the
// next start of the launcher rebuild the folder, and both words read back through the program's
// window and through `zarel-dict show`.
#include "crashprocess.h"

#include "app/errorbox.h"
#include "app/tform1.h"
#include "app/tnewword.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "dictionary/lettertabs.h"
#include "fakesource.h"
#include "support/testdictionary.h"
#include "support/waituntil.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
namespace fs = std::filesystem;

namespace {

// Types text key by key: ASCII characters as their keys, letters QTest's key table lacks
// (Turkish letters) as key events that carry only the text, as an input method sends them.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// The main window started in a folder as the launcher starts it (that folder current).
class WindowInFolder
{
public:
    explicit WindowInFolder(const std::string &folder)
        : m_previous(fs::current_path())
    {
        fs::current_path(folder);
        m_reporter = zarel::app::setErrorReporter(
            [this](QWidget *, const QString &text) { m_errors.append(text); });
        m_form = std::make_unique<TForm1>();
        m_form->show();
        m_exposed = QTest::qWaitForWindowExposed(m_form.get());
    }
    ~WindowInFolder()
    {
        m_form.reset();
        zarel::app::setErrorReporter(m_reporter);
        fs::current_path(m_previous);
    }

    TForm1 &form() { return *m_form; }
    bool exposed() const { return m_exposed; }
    const QStringList &errors() const { return m_errors; }

    // Opens the add-word dialog for `word` on `tab` (what Enter on a word the tab lacks does) and
    // in it writes `meaning` on a line of its own below the preset word and presses Save.
    bool addWord(const QString &word, int tab, const QString &meaning)
    {
        bool saved = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<TNewWord *>(w);
                if (!dialog || !dialog->isVisible() || saved)
                    continue;
                saved = dialog->Edit1->text() == word;
                dialog->RichEdit1->moveCursor(QTextCursor::End);
                QTest::keyClick(dialog->RichEdit1, Qt::Key_Return);
                typeText(dialog->RichEdit1, meaning);
                dialog->Button1->click();
            }
        });
        poll.start();
        m_form->openAddWordDialog(word, tab);
        poll.stop();
        return saved;
    }

    // Chooses a headword of a tab in the word box as the list does; the article pane's text, or
    // "(no such headword)".
    QString lookUp(int tab, const QString &word)
    {
        WordListModel *list = m_form->wordList(tab);
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->headword(row) != word)
                continue;
            m_form->selectTab(tab);
            m_form->selectItem(row);
            m_form->ComboBox1Change();
            return m_form->RichEdit1->toPlainText();
        }
        return u"(no such headword)"_s;
    }

private:
    fs::path m_previous;
    zarel::app::ErrorReporter m_reporter;
    QStringList m_errors;
    std::unique_ptr<TForm1> m_form;
    bool m_exposed = false;
};

class LauncherUpdate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_data = m_home.path() + "/data";
        m_source = m_home.path() + "/source";
        fs::create_directories(m_source);
        m_program = fs::canonical(ZAREL_PROGRAM).string();
    }

    // Starts the launcher with data version suffix `suffix` and waits until it has handed over
    // to the program (which is then closed); the launcher's output.
    std::string startLauncher(const std::string &suffix)
    {
        const std::string log = m_logs.file("launcher-" + suffix + ".log");
        zarel::crash::ProcessGroup launcher(
            { ZAREL_LAUNCHER }, log,
            { { "ZAREL_DATA_DIR", m_data },
              { "ZAREL_DATA_VERSION_SUFFIX", suffix },
              { "ZAREL_BUILD_OPTIONS", "--no-sound --source " + m_source },
              { "QT_QPA_PLATFORM", "offscreen" },
              { "DISPLAY", "" } });
        EXPECT_TRUE(launcher.started());
        const bool handedOver = zarel::test::waitUntil(
            [&] { return launcher.leaderProgram() == m_program || launcher.ended(); },
            std::chrono::minutes(3));
        EXPECT_TRUE(handedOver && !launcher.ended()) << "the launcher did not start the program\n"
                                                     << zarel::crash::logText(log);
        launcher.killAll();
        return zarel::crash::logText(log);
    }

    std::string stamp() const { return zarel::test::readFile(m_data + "/.zarel-data-version"); }

    std::string show(const std::string &word)
    {
        const std::string log = m_logs.file("show.log");
        const int code = zarel::crash::runTool({ ZAREL_DICT_TOOL, "show", m_data, word }, log);
        return std::to_string(code) + " " + zarel::crash::logText(log);
    }

    zarel::test::TempDir m_home;
    zarel::test::TempDir m_logs;
    std::string m_data;
    std::string m_source;
    std::string m_program;
};

TEST_F(LauncherUpdate, WordsAddedInTheWindowSurviveTheUpdate)
{
    zarel::test::writeGeneratedSource(m_source, 20, 1);
    const std::string first = startLauncher("+update-1");
    EXPECT_NE(first.find("Preparing the dictionary data"), std::string::npos) << first;
    EXPECT_TRUE(stamp().ends_with("+update-1\n")) << stamp();

    {
        WindowInFolder window(m_data);
        TForm1 &form = window.form();
        ASSERT_TRUE(form.startupStatus().ok()) << form.startupStatus().message;
        ASSERT_TRUE(window.exposed());
        ASSERT_TRUE(window.addWord(u"zebra"_s, 25, u"striped horse"_s));
        EXPECT_TRUE(window.lookUp(25, u"zebra"_s).contains(u"striped horse"_s));
        ASSERT_TRUE(window.addWord(u"çorap"_s, 29, u"sock"_s));
        EXPECT_TRUE(window.lookUp(29, u"çorap"_s).contains(u"sock"_s));
        EXPECT_TRUE(window.errors().isEmpty()) << window.errors().join(u"; "_s).toStdString();
    }

    // A newer builder: the next start rebuilds the folder from other data.
    zarel::test::writeGeneratedSource(m_source, 20, 2);
    const std::string second = startLauncher("+update-2");
    EXPECT_NE(second.find("Updating the dictionary data"), std::string::npos) << second;
    EXPECT_NE(second.find("The words you added yourself are kept."), std::string::npos) << second;
    EXPECT_NE(second.find("Words added by the user kept: 2 in 2 tabs"), std::string::npos)
        << second;
    EXPECT_TRUE(stamp().ends_with("+update-2\n")) << stamp();

    {
        WindowInFolder window(m_data);
        TForm1 &form = window.form();
        ASSERT_TRUE(form.startupStatus().ok()) << form.startupStatus().message;
        // The new data is in place ("zzzz"-like headwords come with the second edition) ...
        EXPECT_TRUE(window.lookUp(0, u"azzz"_s).startsWith(u"azzz"_s));
        // ... and both words read back with their articles.
        const QString zebra = window.lookUp(25, u"zebra"_s);
        EXPECT_TRUE(zebra.contains(u"zebra"_s) && zebra.contains(u"striped horse"_s))
            << zebra.toStdString();
        const QString corap = window.lookUp(29, u"çorap"_s);
        EXPECT_TRUE(corap.contains(u"çorap"_s) && corap.contains(u"sock"_s)) << corap.toStdString();
    }

    const std::string zebra = show("zebra");
    EXPECT_TRUE(zebra.starts_with("0 ") && zebra.find("striped horse") != std::string::npos)
        << zebra;
    const std::string corap = show("çorap");
    EXPECT_TRUE(corap.starts_with("0 ") && corap.find("sock") != std::string::npos) << corap;
    const std::string checkLog = m_logs.file("check.log");
    EXPECT_EQ(zarel::crash::runTool({ ZAREL_DICT_TOOL, "check", m_data }, checkLog), 0)
        << zarel::crash::logText(checkLog);
}

} // namespace
