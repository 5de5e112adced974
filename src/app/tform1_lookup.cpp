// TForm1's lookup: the word box and its keys, the letter tabs, the Turkish letter buttons, the
// article pane and the double-click lookup of a word in an article.
#include "app/tform1.h"

#include "app/combokeys.h"
#include "app/tnewword.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "controls/cp1254text.h"
#include "controls/rtfqt.h"
#include "controls/tricheditdblclick.h"
#include "dictionary/combosearch.h"
#include "dictionary/lettertabs.h"
#include "dictionary/lookuprules.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/userentries.h"

#include <utility>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

// The Turkish letter buttons by tag: the letter they type and the tab of an empty word box.
struct LetterButton
{
    unsigned char letter;
    int tab;
};
constexpr LetterButton kLetterButtons[] = {
    { 0xF6, 43 }, // ö
    { 0xE7, 29 }, // ç
    { 0xFE, 47 }, // ş
    { 0xF0, 33 }, // ğ (G)
    { 0xFC, 50 }, // ü
    { 0xFD, 35 }, // ı
    { 0xDD, 36 }, // İ
};

constexpr int kWideCombo = 475;
constexpr int kNarrowCombo = 307;

} // namespace

void TForm1::wireLookup()
{
    m_comboKeys = new ComboKeys(Combo, this);
    connect(m_comboKeys, &ComboKeys::keyDown, this, &TForm1::ComboKeyDown);
    connect(m_comboKeys, &ComboKeys::keyPress, this, &TForm1::ComboKeyPress);
    connect(m_comboKeys, &ComboKeys::keyUp, this, &TForm1::ComboKeyUp);
    connect(Combo->lineEdit(), &QLineEdit::textEdited, this, &TForm1::comboTextEdited);
    connect(Combo, &QComboBox::activated, this, [this](int) { ComboBox1Change(); });
    connect(TabControl1, &TTabControl::change, this, &TForm1::TabControl1Change);
    for (QToolButton *b : { SpeedButton16, SpeedButton17, SpeedButton18, SpeedButton19,
                            SpeedButton20, SpeedButton21, SpeedButton22 })
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton16Click(b); });
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(RichEdit1, &TRichEditDblClick::OnDblClick, this, &TForm1::RichEdit1DblClick);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
}

void TForm1::selectTab(int tab)
{
    TabControl1->setTabIndex(tab);
    fillComboItems(tab);
    updateCommandButtons();
}

void TForm1::selectItem(int index)
{
    const QSignalBlocker blocker(Combo);
    Combo->setCurrentIndex(index < Combo->count() ? index : -1);
    selectWholeComboText();
    Combo->syncPopupHighlight();
    // Pronounce follows the chosen entry even where no lookup change runs after.
    updateCommandButtons();
}

void TForm1::selectWholeComboText()
{
    // A selection made from code leaves the text wholly selected, so the next typed character
    // starts a new word and a blank typed over it repeats the pronunciation.
    Combo->lineEdit()->selectAll();
}

void TForm1::selectItemKeepingText(int index)
{
    const QString text = Combo->currentText();
    const int caret = Combo->lineEdit()->cursorPosition();
    const QSignalBlocker blocker(Combo);
    Combo->setCurrentIndex(index < Combo->count() ? index : -1);
    if (Combo->currentText() != text) {
        Combo->setEditText(text);
        Combo->lineEdit()->setCursorPosition(caret);
    }
    Combo->syncPopupHighlight();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    selectWholeComboText();
}

const std::vector<const zarel::TWordRecord *> &TForm1::comboEntries() const
{
    return Dictionary.tab(zarel::isValidTab(m_comboTab) ? m_comboTab : 0).entries;
}

void TForm1::showArticle(int tab, const zarel::TWordRecord &record)
{
    const std::string bytes = zarel::readArticle(ProgramFolder, tab, record);
    zarel::loadArticle(RichEdit1->document(), QByteArray::fromStdString(bytes), RichEdit1->font());
}

void TForm1::ComboBox1Change()
{
    const int tab = TabControl1->tabIndex();
    if (Combo->currentText() != u" ") {
        LastTab = tab;
        LastItemIndex = Combo->currentIndex();
        updateCommandButtons();
    }
    const int i = Combo->currentIndex();
    if (i == -1 || !zarel::isValidTab(tab))
        return;
    const zarel::TabLists &lists = Dictionary.tab(tab);
    if (static_cast<size_t>(i) >= lists.count())
        return;
    const zarel::TWordRecord *r = lists.entries[static_cast<size_t>(i)];
    // The article is shown only when the text is the headword itself, letter case included.
    if (zarel::app::toCp1254(Combo->currentText(), '\0') == r->headword())
        showArticle(tab, *r);
}

void TForm1::comboTextEdited(const QString &text)
{
    // The open list follows the text to the first headword that begins with it; a closed list
    // has no selection while the text is edited.
    int index = -1;
    if (!text.isEmpty() && Combo->isPopupVisible())
        index = zarel::findStringPrefix(comboEntries(), zarel::app::toCp1254(text, '\0'),
                                        zarel::casingOfTab(m_comboTab));
    selectItemKeepingText(index);
    ComboBox1Change();
}

void TForm1::ComboKeyPress(unsigned char key)
{
    if (key == VirtualKey::Space)
        return;
    QLineEdit *edit = Combo->lineEdit();
    // Enter replaces no text: the headword its key-down found stays selected for the next word.
    const bool replacesSelection = edit->hasSelectedText() && key != VirtualKey::Enter;
    const int caret = replacesSelection ? edit->selectionStart() : edit->cursorPosition();
    if (caret == 0) {
        int tab = TabControl1->tabIndex();
        if (key != VirtualKey::Enter) {
            const int chosen = zarel::typedWordTab(key, Config.englishToTurkish);
            if (chosen >= 0)
                tab = chosen;
        }
        selectTab(tab);
        ComboBox1Change();
        Combo->repaint();
    }
    if (key > VirtualKey::Space)
        Combo->showPopup();
}

void TForm1::ComboKeyDown(int key, ShiftState shift)
{
    if (key == VirtualKey::Space) {
        // Only a blank that replaces the whole text (a headword put there by a lookup) brings
        // the headword back and speaks it; a blank after text being typed is part of the word.
        const QLineEdit *edit = Combo->lineEdit();
        m_blankOverHeadword = !edit->text().isEmpty() && edit->selectedText() == edit->text();
    } else {
        m_blankOverHeadword = false;
    }
    if (key > VirtualKey::Space)
        Combo->showPopup();
    if (shift.onlyCtrl()) {
        // The item after the last one does not exist; the last headword stays selected.
        const int next = Combo->currentIndex() + 1;
        if (next < Combo->count())
            selectItem(next);
        Combo->hidePopup();
        ComboBox1Change();
        return;
    }
    if (shift.onlyAlt() && key == VirtualKey::F4) {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    if (key != VirtualKey::Enter)
        return;
    const QString typed = Combo->currentText();
    const int i
        = zarel::enteredWordMatch(comboEntries(), zarel::app::toCp1254(typed, '\0'), m_comboTab);
    Combo->hidePopup();
    if (i < 0) {
        openAddWordDialog(typed, TabControl1->tabIndex());
        return;
    }
    selectItem(i);
    ComboBox1Change();
    Combo->repaint();
    // The text stays as the user typed it, wholly selected with the caret at its end.
    Combo->setEditText(typed);
    Combo->lineEdit()->setCursorPosition(static_cast<int>(typed.size()));
    selectWholeComboText();
}

void TForm1::ComboKeyUp(int key, ShiftState)
{
    TypedText = Combo->currentText();
    if (key != VirtualKey::Space || !std::exchange(m_blankOverHeadword, false))
        return;
    // A blank typed over the headword brings it back and speaks it again.
    if (TabControl1->tabIndex() != LastTab)
        selectTab(LastTab);
    selectItem(LastItemIndex);
    if (Button7->isEnabled())
        Button7Click();
}

void TForm1::TabControl1Change()
{
    const int tab = TabControl1->tabIndex();
    fillComboItems(tab);
    selectItem(0);
    Combo->setFocus();
    ComboBox1Change();
}

void TForm1::SpeedButton16Click(QToolButton *sender)
{
    const int tag = sender->property("Tag").toInt();
    if (tag < 1 || tag > 7)
        return;
    const LetterButton &button = kLetterButtons[tag - 1];
    const QString letter = zarel::app::fromCp1254(
        std::string_view(reinterpret_cast<const char *>(&button.letter), 1));
    if (Combo->currentText().isEmpty()) {
        selectTab(button.tab);
        Combo->setEditText(letter);
    } else {
        Combo->setEditText(TypedText);
        Combo->setEditText(Combo->currentText() + letter);
    }
    TypedText = Combo->currentText();
    Combo->showPopup();
    Combo->setEditText(TypedText);
    Combo->lineEdit()->setCursorPosition(static_cast<int>(TypedText.size()));
}

void TForm1::SpeedButton4Click()
{
    Combo->resize(Combo->width() == kWideCombo ? kNarrowCombo : kWideCombo, Combo->height());
}

void TForm1::RichEdit1DblClick()
{
    const bool english = Config.englishToTurkish;
    if (!Config.clipboardTranslation || (english && !Button7->isVisible()))
        return;
    const std::string word = zarel::doubleClickedWord(
        zarel::app::toCp1254(RichEdit1->textCursor().selectedText(), '\0'));
    if (word.empty())
        return;

    const int chosen = zarel::doubleClickTab(static_cast<unsigned char>(word[0]), english);
    selectTab(chosen >= 0 ? chosen : TabControl1->tabIndex());
    selectLongestLeadingPart(word);

    if (!Button7->isVisible())
        return;
    if (Config.popUp)
        bringToFront();
    if (Combo->isEnabled() && Combo->isVisible())
        Combo->setFocus();
}

void TForm1::selectLongestLeadingPart(const std::string &text)
{
    if (text.empty())
        return;
    const int found = zarel::longestLeadingPartMatch(comboEntries(), text, m_comboTab);
    selectItem(found);
    if (found >= 0)
        ComboBox1Change();
}

void TForm1::bringToFront()
{
    // The active window already has the keyboard; taking it from the word box would deselect
    // the headword just found and send the next typed word nowhere.
    if (isActiveWindow())
        return;
    showMinimized();
    showNormal();
    raise();
    activateWindow();
}

void TForm1::openAddWordDialog(const QString &word, int tab)
{
    TNewWord dialog(ProgramFolder, word, tab, !Config.turkishInterface, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.stored())
        return;
    // The new entry joins the running lists at once, in its dictionary-order place.
    const zarel::TWordRecord &record = dialog.storedRecord();
    const size_t position
        = zarel::insertionPosition(tab, Dictionary.tab(tab).entries, record.headword());
    Dictionary.insertUserEntry(tab, position, record);
    wordList(tab)->insertHeadword(static_cast<int>(position),
                                  zarel::app::fromCp1254(record.headword()));
    selectTab(tab);
    selectItem(static_cast<int>(position));
    ComboBox1Change();
}
