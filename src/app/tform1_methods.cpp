// TForm1's launchers of the five learning methods and of the hangman: each hides the main
// window, shows a new window of its own modally, and brings the main window back afterwards.
#include "app/tform1.h"

#include "methods/methodsupport.h"
#include "methods/tform3.h"

// Each further method window joins the launcher as soon as its header exists.
#if __has_include("methods/tform5.h")
#include "methods/tform5.h"
#endif
#if __has_include("methods/tform4.h")
#include "methods/tform4.h"
#endif
#if __has_include("methods/tform6.h")
#include "methods/tform6.h"
#endif
#if __has_include("methods/tform2.h")
#include "methods/tform2.h"
#endif
#if __has_include("hangman/thangform1.h")
#include "hangman/thangform1.h"
#define ZAREL_HAVE_HANGMAN 1
#endif

#include <memory>
#include <utility>

#include <QListWidget>
#include <QPushButton>

namespace {

// A new window of method `method` (1-5) over `main`; null for a method without a window.
std::unique_ptr<QDialog> createMethodWindow(TForm1 *main, int method)
{
    switch (method) {
    case 1:
        return std::make_unique<TForm3>(main);
#if __has_include("methods/tform5.h")
    case 2:
        return std::make_unique<TForm5>(main);
#endif
#if __has_include("methods/tform4.h")
    case 3:
        return std::make_unique<TForm4>(main);
#endif
#if __has_include("methods/tform6.h")
    case 4:
        return std::make_unique<TForm6>(main);
#endif
#if __has_include("methods/tform2.h")
    case 5:
        return std::make_unique<TForm2>(main);
#endif
    default:
        return nullptr;
    }
}

} // namespace

void TForm1::launchMethod(int method)
{
    // The method buttons are disabled while the list is empty; a call from code finds the same.
    if (zarel::methods::listCount(*this) == 0)
        return;
    StopVoiceReplay();
    // The window reads the word list as it is now.
    std::unique_ptr<QDialog> window = createMethodWindow(this, method);
    if (!window)
        return;
    Tag = 1;
    m_methodWindowOpen = true;
    hide();
    window->exec();
    window.reset();
    m_methodWindowOpen = false;
    Tag = 0;
    // The article pane follows the headword the method left in the word box.
    zarel::methods::restoreMainWindow(*this, true);
    updateCommandButtons();
    // A text copied meanwhile is looked up now, over the method's last word; the window is
    // in front already.
    if (std::exchange(m_clipboardWaiting, false))
        handleClipboardText(std::exchange(m_waitingClipboardText, QString()), false);
}

void TForm1::wireMethods()
{
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button9, &QPushButton::clicked, this, &TForm1::Button9Click);
    connect(Button11, &QPushButton::clicked, this, &TForm1::Button11Click);
    connect(Button16, &QPushButton::clicked, this, &TForm1::Button16Click);
    connect(Button12, &QPushButton::clicked, this, &TForm1::Button12Click);
    connect(Button10, &QPushButton::clicked, this, &TForm1::Button10Click);
}

void TForm1::Button5Click()
{
    launchMethod(1);
}

void TForm1::Button9Click()
{
    launchMethod(2);
}

void TForm1::Button11Click()
{
    launchMethod(3);
}

void TForm1::Button16Click()
{
    launchMethod(4);
}

void TForm1::Button12Click()
{
    launchMethod(5);
}

void TForm1::Button10Click()
{
#ifdef ZAREL_HAVE_HANGMAN
    Tag = 1;
    StopVoiceReplay();
    hide();
    auto window = std::make_unique<THangForm1>(this);
    if (zarel::methods::listCount(*this) > 0) {
        // The first word is entry 0, and the selection follows it, so that the translation
        // reads the language of the word in play.
        zarel::methods::selectListEntry(*this, 0);
        window->startFirstGame(zarel::methods::shownEntry(*this, 0),
                               !zarel::methods::isEnglishEntry(*this, 0));
    }
    window->exec();
    window.reset();
    // The game's word draws and its translation move the word box to other letters; the box,
    // the tab and the article pane are brought back in line as after a method.
    zarel::methods::restoreMainWindow(*this, true);
    updateCommandButtons();
#endif
}
