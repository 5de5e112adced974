// TForm1's clipboard translation: every text copied in any program is looked up in the current
// direction, and the window comes to the front when PopUp is on. The program only listens to
// the clipboard; it never takes ownership of it, so other listeners keep their notices.
#include "app/tform1.h"

#include "app/ttabcontrol.h"
#include "dictionary/clipboardkeys.h"
#include "dictionary/combosearch.h"
#include "dictionary/lettertabs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>

void TForm1::joinClipboardViewers()
{
    m_clipboardConnection = connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
                                    &TForm1::clipboardChanged);
}

void TForm1::leaveClipboardViewers()
{
    disconnect(m_clipboardConnection);
}

void TForm1::clipboardChanged()
{
    // The text is taken now: the program that copied it may be gone when it is looked up.
    const QString copied = QApplication::clipboard()->text();
    if (m_methodWindowOpen) {
        // A method drills through the word box and the article pane of the hidden main window;
        // a lookup now would move them under the method, and the pop-up would show the window.
        // The last text copied is looked up once the method has closed.
        m_clipboardWaiting = true;
        m_waitingClipboardText = copied;
        return;
    }
    handleClipboardText(copied, true);
}

void TForm1::handleClipboardText(const QString &copied, bool popUp)
{
    const std::u16string_view text = zarel::skipLeadingBlanks(std::u16string_view(
        reinterpret_cast<const char16_t *>(copied.utf16()), static_cast<size_t>(copied.size())));
    const bool blank = text.empty();
    if (Config.clipboardTranslation && Config.englishToTurkish) {
        if (blank)
            return;
        const std::string key = zarel::englishClipboardKey(text);
        const int tab = zarel::englishTabForChar(static_cast<unsigned char>(key[0]));
        clipboardLookup(key, zarel::isEnglishTab(tab) ? tab : -1);
    }
    if (popUp)
        clipboardPopUp();
    if (Config.clipboardTranslation && !Config.englishToTurkish) {
        if (blank)
            return;
        const std::string key = zarel::turkishClipboardKey(text);
        clipboardLookup(key, zarel::turkishKeyTab(key));
    }
    if (popUp)
        clipboardPopUp();
}

void TForm1::clipboardLookup(const std::string &key, int tab)
{
    if (zarel::isValidTab(tab))
        TabControl1->setTabIndex(tab);
    const int current = TabControl1->tabIndex();
    if (Dictionary.tab(current).created)
        fillComboItems(current);
    selectLongestLeadingPart(key);
}

void TForm1::clipboardPopUp()
{
    // Tag marks an open hangman or method window: the main window stays hidden under it.
    if (!Config.popUp || Tag != 0 || m_methodWindowOpen)
        return;
    if (isActiveWindow())
        return; // it has the keyboard already, in the word box
    bringToFront();
    if (Combo->isEnabled())
        Combo->setFocus();
}
