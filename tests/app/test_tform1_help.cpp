// The main window's Help menu: F1 and the Help item open the page of the interface language
// from the current directory of the moment; the about windows open modally and are freed; the
// online dictionary goes to the desktop's browser.
#include "apptestenvironment.h"
#include "help/taboutform.h"
#include "help/taboutprogform.h"
#include "help/tform8.h"
#include "urlcatcher.h"

#include <filesystem>
#include <functional>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

void writeFile(const std::string &path, const std::string &bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    zarel::test::writeFile(path, bytes);
}

// Runs `act` on the first visible top-level window of type T as soon as the modal loop has shown
// it, polling for it; gives up after thirty seconds.
template<typename T> void whenOpens(std::function<void(T *)> act, bool *opened)
{
    auto *poll
        = new QTimer(QCoreApplication::instance()); // freed with the application at the latest
    auto deadline = std::make_shared<QDeadlineTimer>(30000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, opened, deadline] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<T *>(w); window && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                *opened = true;
                act(window);
                return;
            }
        }
        if (deadline->hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(20);
}

template<typename T> int livingWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<T *>(w) != nullptr;
    return n;
}

class HelpMenuTest : public FormTest
{
protected:
    TForm1 &start()
    {
        writeDictionary({});
        for (const char *page : { "help.htm", "helpe.htm" })
            writeFile(file(std::string("hlp/") + page),
                      std::string("<html><body><p>page ") + page + "</p></body></html>");
        return startForm();
    }

    // Opens the help with `trigger` and returns the text the help window showed.
    QString helpShownBy(const std::function<void()> &trigger)
    {
        bool opened = false;
        QString shown;
        whenOpens<TForm8>(
            [&](TForm8 *help) {
                shown = help->WebBrowser1->toPlainText();
                help->close();
            },
            &opened);
        trigger();
        EXPECT_TRUE(opened);
        EXPECT_EQ(livingWindows<TForm8>(), 0);
        return shown;
    }
};

} // namespace

TEST_F(HelpMenuTest, F1OpensThePageOfTheInterfaceLanguage)
{
    TForm1 &form = start();
    form.show();
    const QString folder = QDir::currentPath();
    const std::pair<QAction *, const char *> languages[]
        = { { form.N15, "helpe.htm" }, { form.N14, "help.htm" } };
    for (const auto &[language, page] : languages) {
        SCOPED_TRACE(page);
        language->trigger();
        // The key goes to the active window, as a real F1 press does.
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 30000));
        const QString shown = helpShownBy([&] { QTest::keyClick(&form, Qt::Key_F1); });
        EXPECT_EQ(shown.toStdString(), std::string("page ") + page);
        EXPECT_EQ(form.HelpPath.toStdString(), (folder + u"/hlp/"_s).toStdString() + page);
    }
}

TEST_F(HelpMenuTest, HelpItemUsesTheCurrentDirectoryOfTheMoment)
{
    TForm1 &form = start();
    zarel::test::TempDir other;
    writeFile(other.file("hlp/help.htm"), "<p>the other folder</p>");
    std::filesystem::current_path(other.path()); // as a file dialog may leave it
    const QString shown = helpShownBy([&] { form.F11->trigger(); });
    std::filesystem::current_path(m_dir.path());
    EXPECT_EQ(shown.toStdString(), "the other folder");
    EXPECT_EQ(form.HelpPath.toStdString(), other.path() + "/hlp/help.htm");
}

TEST_F(HelpMenuTest, AboutWindowsOpenModallyAndAreFreed)
{
    TForm1 &form = start();
    bool opened = false;
    whenOpens<TAboutForm>([](TAboutForm *about) { about->SpeedButton1->click(); }, &opened);
    form.N3->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(livingWindows<TAboutForm>(), 0);

    opened = false;
    whenOpens<TAboutProgForm>([](TAboutProgForm *about) { about->SpeedButton1->click(); }, &opened);
    form.N4->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(livingWindows<TAboutProgForm>(), 0);
}

TEST_F(HelpMenuTest, OnlineDictionaryOpensInTheBrowser)
{
    TForm1 &form = start();
    UrlCatcher catcher;
    form.MultilingualOnlineDictionary1->trigger();
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front().scheme(), u"https"_s);
    EXPECT_TRUE(catcher.opened.front().host().contains(u"wiktionary"_s));
    EXPECT_TRUE(m_errors.isEmpty());
}
