// TForm1's word list: ListBox1 showing MarkedList, showing and deleting entries, the count
// label, adding the current word, opening, appending and saving list files, the File menu.
#include "app/tform1.h"

#include "app/errorbox.h"
#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "controls/cp1254text.h"
#include "dictionary/combosearch.h"
#include "dictionary/lettertabs.h"
#include "sound/taudio.h"
#include "sound/tmpegplayer.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDeleteKey = Qt::Key_Delete;

zarel::app::FileDialogRequest listFileRequest(bool save, bool turkish)
{
    zarel::app::FileDialogRequest r;
    r.save = save;
    r.filter = u"Zarel English Dictionary (*.DIC)"_s;
    r.defaultSuffix = u"DIC"_s;
    if (save)
        r.title = turkish ? u"Kaydet"_s : u"Save"_s;
    else
        r.title = u"Kelimeler dosyasından listeye ekle"_s;
    return r;
}

bool isListMoveKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp
        || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
}

} // namespace

void TForm1::wireWordList()
{
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox1->installEventFilter(this);
    connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        if (std::exchange(m_listKeyMove, false))
            ListBox1Click();
    });
    connect(ListBox1, &QListWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (m_listPopupAuto)
            PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at));
    });
    connect(Delete1, &QAction::triggered, this, [this] { deleteListEntry(true); });
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button13, &QPushButton::clicked, this, &TForm1::Button13Click);
    connect(N19, &QAction::triggered, this, &TForm1::Button1Click);
    connect(N20, &QAction::triggered, this, &TForm1::Button3Click);
    // Save saves: File > Save runs the save command of the list's save button.
    connect(N21, &QAction::triggered, this, &TForm1::Button2Click);
    updateCommandButtons();
    connect(N22, &QAction::triggered, this, [] {
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
}

bool TForm1::wordListKeyEvent(QKeyEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (event->key() == kDeleteKey) {
            deleteListEntry(false);
            return true;
        }
        if (isListMoveKey(event->key()))
            m_listKeyMove = true;
        return false;
    }
    // Any key released in the list speaks the current headword, as the pronounce button does.
    if (event->type() == QEvent::KeyRelease && !event->isAutoRepeat() && Button7->isEnabled())
        Button7Click();
    return false;
}

void TForm1::ListBox1Click()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= MarkedList.size())
        return;
    const auto i = static_cast<size_t>(row);
    m_listPopupAuto = true;
    const int chosen = MarkedList.tab(i);
    if (zarel::isValidTab(chosen))
        TabControl1->setTabIndex(chosen);
    const int tab = TabControl1->tabIndex();
    fillComboItems(tab);
    selectItem(
        zarel::findStringPrefix(comboEntries(), MarkedList.headword(i), zarel::casingOfTab(tab)));
    ComboBox1Change();
    StopVoiceReplay();
}

void TForm1::deleteListEntry(bool fromMenu)
{
    const int row = ListBox1->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= MarkedList.size())
        return;
    const QString question = Config.turkishInterface ? u"Emin misiniz ?"_s : u"Are you sure ?"_s;
    if (!zarel::app::confirm(this, question))
        return;
    MarkedList.remove(static_cast<size_t>(row));
    delete ListBox1->takeItem(row);
    updateCountLabel();
    if (fromMenu)
        m_listPopupAuto = false;
    if (MarkedList.empty())
        listBecameEmpty();
    storeKeptList();
}

void TForm1::updateCountLabel()
{
    const size_t n = MarkedList.size();
    const QString word = Config.turkishInterface ? u"Kelime"_s : (n == 1 ? u"Word"_s : u"Words"_s);
    Label1->setText(QString::number(n) + u' ' + word);
    Label1->adjustSize();
}

void TForm1::updateCommandButtons()
{
    const bool keyPage = !SpeedButton3->isHidden();
    const bool recording = voiceRecordingRunning();
    const bool replaying = Audio1->Player()->DeviceOpen();
    const bool soundPlaying = MPEG1->isPlaying();
    const bool listHasWords = !MarkedList.empty();
    const bool hasRecording = VoiceRecording && !VoiceRecording->isEmpty();
    const bool hasSound = headwordSoundExists(TabControl1->tabIndex(), Combo->currentIndex());

    // A key page and a recording lock the list commands; no method can drill an empty list,
    // and an empty list has nothing to save or clear.
    const bool listCommands = !keyPage && !recording;
    for (QPushButton *b : { Button5, Button9, Button11, Button16, Button12, Button2 })
        b->setEnabled(listCommands && listHasWords);
    for (QPushButton *b : { Button10, Button13, Button1, Button3, Button4 })
        b->setEnabled(listCommands);
    Button4->setVisible(listHasWords);
    ListBox1->setCursor(listHasWords ? Qt::PointingHandCursor : Qt::ArrowCursor);

    // The microphone would record the word, and a replay and a pronunciation exclude each
    // other. The start of a pronunciation disables pronounce, record and replay; record and
    // replay come back with its end, pronounce with the next change, so that another word can
    // cut the playing one short.
    PronounceAfterPlay = !recording && hasSound;
    Button7->setEnabled(PronounceAfterPlay && !replaying && !keyPage);
    SpeedButton1->setEnabled(recording || (!keyPage && !replaying && !soundPlaying));
    SpeedButton2->setEnabled(!keyPage && !recording && !replaying && !soundPlaying && hasRecording);
}

void TForm1::listBecameEmpty()
{
    updateCommandButtons();
}

void TForm1::listGotEntries()
{
    updateCountLabel();
    updateCommandButtons();
}

void TForm1::showNewListEntries(size_t from)
{
    for (size_t i = from; i < MarkedList.size(); ++i)
        ListBox1->addItem(zarel::app::fromCp1254(MarkedList.headword(i)));
    listGotEntries();
}

void TForm1::showWordList()
{
    ListBox1->clear();
    if (MarkedList.empty()) {
        Label1->clear();
        listBecameEmpty();
        return;
    }
    showNewListEntries(0);
}

QStringList TForm1::markedEntries() const
{
    QStringList marked;
    for (const std::string &m : MarkedList.markedEntries())
        marked.append(zarel::app::fromCp1254(m));
    return marked;
}

void TForm1::setMarkedEntries(const QStringList &marked)
{
    std::vector<std::string> entries;
    for (const QString &m : marked)
        entries.push_back(zarel::app::toCp1254(m));
    MarkedList = zarel::WordList(std::move(entries));
    showWordList();
}

void TForm1::switchToStandardView()
{
    if (!Config.standardView)
        N11Click();
}

void TForm1::Button1Click()
{
    switchToStandardView();
    const int tab = TabControl1->tabIndex();
    const int i = Combo->currentIndex();
    if (!zarel::isValidTab(tab) || i < 0 || static_cast<size_t>(i) >= Dictionary.tab(tab).count())
        return;
    const size_t before = MarkedList.size();
    if (MarkedList.add(std::string(Dictionary.tab(tab).headword(static_cast<size_t>(i))),
                       zarel::isEnglishTab(tab))) {
        showNewListEntries(before);
        storeKeptList();
    }
    // Words are collected by typing one, adding it, typing the next: the next key goes to the
    // word box and replaces the word just added.
    Combo->setFocus();
    Combo->lineEdit()->selectAll();
}

void TForm1::Button3Click()
{
    switchToStandardView();
    openListFile(true);
}

void TForm1::Button13Click()
{
    switchToStandardView();
    openListFile(false);
}

void TForm1::openListFile(bool replace)
{
    const QString path
        = zarel::app::chooseFile(this, listFileRequest(false, Config.turkishInterface));
    if (path.isEmpty())
        return;
    const size_t from = replace ? 0 : MarkedList.size();
    // A file that is refused leaves the list as it was.
    const zarel::Status st = MarkedList.load(QFile::encodeName(path).toStdString(), replace);
    if (!st.ok()) {
        zarel::app::reportError(this, zarel::app::errorText(st));
        return;
    }
    if (replace)
        ListBox1->clear();
    showNewListEntries(from);
    if (MarkedList.empty()) {
        listBecameEmpty();
        updateCountLabel();
    }
    storeKeptList();
}

void TForm1::Button2Click()
{
    const QString path
        = zarel::app::chooseFile(this, listFileRequest(true, Config.turkishInterface));
    if (!path.isEmpty()) {
        // The marked entries are written, so a saved list opens again with every word in its
        // language.
        const zarel::Status st = MarkedList.save(QFile::encodeName(path).toStdString());
        if (!st.ok())
            zarel::app::reportError(this, zarel::app::errorText(st));
    }
    Combo->setFocus();
}

void TForm1::Button4Click()
{
    // The list is kept across restarts, so clearing it asks first, as deleting an entry does.
    if (!MarkedList.empty()
        && !zarel::app::confirm(
            this, Config.turkishInterface ? u"Emin misiniz ?"_s : u"Are you sure ?"_s)) {
        Combo->setFocus();
        return;
    }
    const bool had = !MarkedList.empty();
    MarkedList.clear();
    ListBox1->clear();
    Label1->clear();
    listBecameEmpty();
    if (had)
        storeKeptList();
    Combo->setFocus();
}

std::string TForm1::keptListPath() const
{
    return ProgramFolder + '/' + kKeptListFile;
}

void TForm1::restoreKeptList()
{
    std::error_code ec;
    if (ProgramFolder.empty() || !std::filesystem::exists(keptListPath(), ec))
        return;
    const size_t from = MarkedList.size();
    const zarel::Status st = MarkedList.load(keptListPath(), false);
    if (!st.ok()) {
        // The file stays as it is; it is replaced only when the user changes the list.
        const QString what = Config.turkishInterface
            ? u"Kelime listesi okunamadı; liste boş açıldı."_s
            : u"The word list could not be read; the list starts empty."_s;
        zarel::app::reportError(this, what + u'\n' + zarel::app::errorText(st));
        return;
    }
    if (MarkedList.size() > from)
        showNewListEntries(from);
}

void TForm1::storeKeptList()
{
    if (ProgramFolder.empty())
        return;
    const zarel::Status st = MarkedList.save(keptListPath());
    if (st.ok()) {
        m_keptListWriteFailed = false;
        return;
    }
    // One box per run of failures: a read-only folder must not answer every click with a box.
    if (std::exchange(m_keptListWriteFailed, true))
        return;
    const QString what = Config.turkishInterface ? u"Kelime listesi kaydedilemedi."_s
                                                 : u"The word list could not be stored."_s;
    zarel::app::reportError(this, what + u'\n' + zarel::app::errorText(st));
}
