// crash_storer: the main window started in the current folder, storing forever through its own
// commands (an added word, a setting, the word list, in turn) until it is killed. Each completed
// store is announced on one stdout line ("word 17", "cfg 5", "list 9").
//
// Usage: crash_storer WORDS CFG LIST PHASE — how many words, settings and list saves the files
// already hold, and which store comes first (0 word, 1 setting, 2 list).
#include "crashplan.h"

#include "app/errorbox.h"
#include "app/tform1.h"
#include "app/tnewword.h"
#include "app/userdialogs.h"
#include "app/wordlistmodel.h"
#include "controls/cp1254text.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

[[noreturn]] void fail(const std::string &why)
{
    const std::string line = "crash_storer: " + why + "\n";
    [[maybe_unused]] const ssize_t n = ::write(2, line.data(), line.size());
    std::_Exit(2);
}

// One line on stdout, written whole by one call so the test reads it whole or not at all.
void announce(const std::string &what, int version)
{
    const std::string line = what + " " + std::to_string(version) + "\n";
    if (::write(1, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        fail("cannot write to stdout");
}

int argument(const char *text)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 1000000)
        fail(std::string("bad argument: ") + text);
    return static_cast<int>(value);
}

class Storer
{
public:
    Storer(TForm1 &form, int words, int cfg, int list)
        : m_form(form)
        , m_words(words)
        , m_cfg(cfg)
        , m_list(list)
    { }

    // The window must have started from exactly the files the test expects.
    void checkStartState()
    {
        if (!m_form.startupStatus().ok())
            fail("start-up failed: " + m_form.startupStatus().message);
        const zarel::TabLists &tab = m_form.Dictionary.tab(zarel::crash::kWordTab);
        int user = 0;
        for (const zarel::TWordRecord *r : tab.entries)
            user += r->isBase() ? 0 : 1;
        if (user != m_words)
            fail("the index holds " + std::to_string(user) + " added words, expected "
                 + std::to_string(m_words));
        if (m_form.Config.flags() != zarel::crash::configFlags(m_cfg))
            fail("settings " + m_form.Config.flags() + ", expected "
                 + zarel::crash::configFlags(m_cfg));
        if (m_list > 0) {
            // The list continues from the saved file, opened as the user opens it.
            m_form.Button3Click();
            if (listEntries() != zarel::crash::listEntries(m_list))
                fail("the opened list differs from save " + std::to_string(m_list));
        }
    }

    void storeWord()
    {
        const int k = m_words + 1;
        const QString word = QString::fromStdString(zarel::crash::addedWord(k));
        WordListModel *model = m_form.wordList(zarel::crash::kWordTab);
        const int before = model->rowCount();
        // The dialog is modal: a timer inside its event loop presses Save.
        QTimer saver;
        saver.setInterval(0);
        QObject::connect(&saver, &QTimer::timeout, &saver, [] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<TNewWord *>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (!dialog->MessageLabel->text().isEmpty())
                    fail("the word was refused: " + dialog->MessageLabel->text().toStdString());
                dialog->Button1->click();
            }
        });
        saver.start();
        m_form.openAddWordDialog(word, zarel::crash::kWordTab);
        saver.stop();
        if (model->rowCount() != before + 1)
            fail("word " + std::to_string(k) + " did not join the list");
        m_words = k;
        announce("word", k);
    }

    void storeSetting()
    {
        const int v = m_cfg + 1;
        QAction *item = nullptr;
        switch (zarel::crash::configPosition(v)) {
        case 1:
            item = m_form.ControlC1;
            break;
        case 2:
            item = m_form.PopUp1;
            break;
        case 4:
            item = m_form.N14->isChecked() ? m_form.N15 : m_form.N14;
            break;
        default:
            item = m_form.KbEg1->isChecked() ? m_form.KbTr1 : m_form.KbEg1;
            break;
        }
        item->trigger();
        if (m_form.Config.flags() != zarel::crash::configFlags(v))
            fail("settings " + m_form.Config.flags() + " after store " + std::to_string(v));
        m_cfg = v;
        announce("cfg", v);
    }

    void storeList()
    {
        const int n = m_list + 1;
        if (m_form.ListBox1->count() == zarel::crash::kListWindow) {
            m_form.ListBox1->setCurrentRow(0);
            m_form.Delete1->trigger();
        }
        const auto &words = zarel::crash::listWords();
        const zarel::crash::ListWord &w = words[static_cast<size_t>(n - 1) % words.size()];
        m_form.selectTab(w.tab);
        const zarel::TabLists &lists = m_form.Dictionary.tab(w.tab);
        int item = -1;
        for (size_t i = 0; i < lists.count(); ++i) {
            if (lists.headword(i) == w.headword)
                item = static_cast<int>(i);
        }
        m_form.selectItem(item);
        m_form.Button1Click();
        if (listEntries() != zarel::crash::listEntries(n))
            fail("the list differs from the plan before save " + std::to_string(n));
        m_form.N21->trigger(); // File > Save
        m_list = n;
        announce("list", n);
    }

private:
    std::vector<std::string> listEntries() const { return m_form.MarkedList.markedEntries(); }

    TForm1 &m_form;
    int m_words;
    int m_cfg;
    int m_list;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5)
        fail("usage: crash_storer WORDS CFG LIST PHASE");
    const int words = argument(argv[1]);
    const int cfg = argument(argv[2]);
    const int list = argument(argv[3]);
    int phase = argument(argv[4]) % 3;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Any error box or question would block an unattended run: errors end it, questions are
    // answered Yes, and both list dialogs choose the one list file.
    zarel::app::setErrorReporter(
        [](QWidget *, const QString &text) { fail("error box: " + text.toStdString()); });
    zarel::app::setConfirmHook([](const QString &) { return true; });
    const QString listPath = QString::fromStdString(
        (std::filesystem::current_path() / zarel::crash::kListFileName).string());
    zarel::app::setFileDialogHook(
        [listPath](const zarel::app::FileDialogRequest &) { return listPath; });

    TForm1 form;
    Storer storer(form, words, cfg, list);
    storer.checkStartState();
    if (::write(1, "ready\n", 6) != 6)
        fail("cannot write to stdout");
    for (;;) {
        switch (phase) {
        case 0:
            storer.storeWord();
            break;
        case 1:
            storer.storeSetting();
            break;
        default:
            storer.storeList();
            break;
        }
        phase = (phase + 1) % 3;
    }
}
