// TForm1's transcription and abbreviation keys: the panel of the 48 symbol buttons that speak
// their sounds and show their key lines, the abbreviation page, and the locking of the main
// window while a key page is shown.
#include "app/tform1.h"

#include "app/errorbox.h"
#include "app/ttabcontrol.h"
#include "controls/rtfqt.h"
#include "platform/fileutil.h"
#include "sound/tmpegplayer.h"

#include <filesystem>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// The 48 symbols in button order; the parts in brackets are bold.
const char16_t *const kSymbols[48] = {
    u"i:",   u"i",     u"e",     u"[e]",   u"ö:", u"[ı]", u"a",  u"a:",   u"[o]",  u"o:",
    u"u",    u"u:",    u"ey",    u"ay",    u"oy", u"au",  u"ou", u"e[ı]", u"i[ı]", u"u[ı]",
    u"[o:]", u"au[ı]", u"ay[ı]", u"ey[ı]", u"y",  u"w",   u"p",  u"b",    u"t",    u"d",
    u"k",    u"g",     u"[t]",   u"[d]",   u"s",  u"z",   u"f",  u"v",    u"ş",    u"ç",
    u"j",    u"c",     u"m",     u"n",     u"ng", u"r",   u"l",  u"h",
};

constexpr QSize kSymbolButton(31, 24);

// The picture of a symbol: its letters, the bold parts in a bold face.
QPixmap symbolPicture(const QString &markup, const QFont &base)
{
    QPixmap pixmap(kSymbolButton - QSize(4, 4));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QFont regular = base;
    regular.setPixelSize(15);
    QFont bold = regular;
    bold.setBold(true);
    // Measure first so the symbol is centred.
    struct Part
    {
        QString text;
        bool bold;
    };
    QList<Part> parts;
    bool inBold = false;
    QString current;
    for (const QChar c : markup) {
        if (c == u'[' || c == u']') {
            if (!current.isEmpty())
                parts.append({ current, inBold });
            current.clear();
            inBold = c == u'[';
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        parts.append({ current, inBold });
    int width = 0;
    for (const Part &part : parts)
        width += QFontMetrics(part.bold ? bold : regular).horizontalAdvance(part.text);
    int x = (pixmap.width() - width) / 2;
    const int baseline = pixmap.height() - 5;
    p.setPen(Qt::black);
    for (const Part &part : parts) {
        p.setFont(part.bold ? bold : regular);
        p.drawText(x, baseline, part.text);
        x += QFontMetrics(p.font()).horizontalAdvance(part.text);
    }
    return pixmap;
}

QString currentFolder()
{
    std::error_code ec;
    return QFile::decodeName(std::filesystem::current_path(ec).string().c_str());
}

// Keeps the logo from switching the translation direction while a key page is shown: a press
// on the locked logo is taken here, before the logo's own handling sees it, and only beeps as
// a press on any locked part of the main window does.
class LockedLogo : public QObject
{
public:
    explicit LockedLogo(QWidget *logo)
        : QObject(logo)
        , m_logo(logo)
    {
        logo->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_logo || m_logo->isEnabled())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            QApplication::beep();
            return true;
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            return false;
        }
    }

private:
    QWidget *m_logo;
};

// The controls a key page locks besides those it hides or names one by one: the logo, the
// Turkish letter buttons and the word box's width button.
QList<QWidget *> lockedWhileKeyPageShown(const TForm1 &form)
{
    return { form.Image1,        form.SpeedButton16, form.SpeedButton17,
             form.SpeedButton18, form.SpeedButton19, form.SpeedButton20,
             form.SpeedButton21, form.SpeedButton22, form.SpeedButton4 };
}

} // namespace

void TForm1::buildKeyPanel()
{
    // The panel lies over the article view: it paints its own face, so no article shows through
    // between the symbol buttons.
    Panel4->setAutoFillBackground(true);
    Panel4->setBackgroundRole(QPalette::Window);
    // Installed after the logo's own handling, so it sees a press first.
    new LockedLogo(Image1);
    const struct
    {
        QGroupBox **frame;
        const char16_t *name;
        QRect rect;
        int first, last, perRow;
    } frames[] = {
        { &RzGroupBox2, u"RzGroupBox2", QRect(2, 2, 394, 34), 1, 12, 12 },
        { &RzGroupBox3, u"RzGroupBox3", QRect(2, 38, 294, 34), 13, 21, 9 },
        { &RzGroupBox1, u"RzGroupBox1", QRect(298, 38, 98, 34), 22, 24, 3 },
        { &RzGroupBox4, u"RzGroupBox4", QRect(2, 74, 66, 60), 25, 26, 2 },
        { &RzGroupBox5, u"RzGroupBox5", QRect(70, 74, 326, 60), 27, 48, 11 },
    };
    for (const auto &f : frames) {
        auto *frame = new QGroupBox(Panel4);
        frame->setObjectName(QString::fromUtf16(f.name));
        frame->setGeometry(f.rect);
        *f.frame = frame;
        for (int n = f.first; n <= f.last; ++n) {
            const int i = n - f.first;
            auto *button = new QToolButton(frame);
            button->setObjectName(u"trans"_s + QString::number(n));
            button->setAutoRaise(true);
            button->setGeometry(3 + (i % f.perRow) * (kSymbolButton.width() + 1),
                                4 + (i / f.perRow) * 26, kSymbolButton.width(),
                                kSymbolButton.height());
            button->setIcon(iconOnFirstUse([symbol = kSymbols[n - 1], base = font()] {
                return QIcon(symbolPicture(QString::fromUtf16(symbol), base));
            }));
            button->setIconSize(kSymbolButton - QSize(4, 4));
            button->setToolTip(u"Transkripsiyonu seslendiriniz"_s);
            connect(button, &QToolButton::clicked, this,
                    [this, button] { transButtonClick(button); });
            trans[static_cast<size_t>(n - 1)] = button;
        }
    }
    RzRichEdit1 = new QTextEdit(Panel4);
    RzRichEdit1->setObjectName(u"RzRichEdit1"_s);
    RzRichEdit1->setGeometry(2, 140, 394, 70);
    RzRichEdit1->setReadOnly(true);
    RzRichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RzRichEdit1->setTextInteractionFlags(Qt::NoTextInteraction);

    connect(N16, &QAction::triggered, this, &TForm1::N16Click);
    connect(N17, &QAction::triggered, this, &TForm1::N17Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
}

void TForm1::enterKeyPage()
{
    Combo->setEnabled(false);
    TabControl1->setEnabled(false);
    ListBox1->setEnabled(false);
    for (QWidget *w :
         std::initializer_list<QWidget *> { Button7, Button1, Button3, SpeedButton1, SpeedButton2 })
        w->hide();
    // The shown OK button marks the key page: the command buttons lock with it.
    SpeedButton3->show();
    updateCommandButtons();
    for (QMenu *m : { N18, N1, N9, N2, Langugae1 })
        m->setEnabled(false);
    for (QWidget *w : lockedWhileKeyPageShown(*this))
        w->setEnabled(false);
    // F1 opens what the locked Help menu offers.
    Action1->setEnabled(false);
}

bool TForm1::loadRichTextFile(QTextEdit *target, const QString &relative)
{
    const QString path = currentFolder() + relative;
    std::string bytes;
    const zarel::Status st = zarel::readWholeFile(QFile::encodeName(path).toStdString(), bytes);
    if (!st.ok()) {
        zarel::app::reportError(this, zarel::app::errorText(st));
        return false;
    }
    // Loading a key page is no change by the user: no beep.
    const QSignalBlocker blocker(target);
    zarel::loadArticle(target->document(), QByteArray::fromStdString(bytes), target->font());
    return true;
}

void TForm1::N16Click()
{
    enterKeyPage();
    try {
        if (!MPEG1->LibraryLoaded())
            MPEG1->LoadPlayerLibrary();
    } catch (const TMPEGError &) {
        // The symbols cannot speak; their key lines still show.
    }
    if (!Panel4->isEnabled())
        Panel4->setEnabled(true);
    Panel4->show();
}

void TForm1::N17Click()
{
    enterKeyPage();
    loadRichTextFile(RichEdit1, u"/rtf/eng.rtf"_s);
}

void TForm1::transButtonClick(QToolButton *sender)
{
    loadRichTextFile(RzRichEdit1, u"/rtf/trans.rtf"_s);
    // The sound number is the end of the button's name: two digits, or one.
    const QString name = sender->objectName();
    bool twoDigits = false;
    int n = name.right(2).toInt(&twoDigits);
    if (!twoDigits)
        n = name.right(1).toInt();
    Panel4->setEnabled(false);
    Panel3->setEnabled(false);

    const QTextBlock line = RzRichEdit1->document()->findBlockByNumber(n - 1);
    if (line.isValid()) {
        QTextCursor cursor(line);
        RzRichEdit1->setTextCursor(cursor);
        const int top = static_cast<int>(
            RzRichEdit1->document()->documentLayout()->blockBoundingRect(line).top());
        RzRichEdit1->verticalScrollBar()->setValue(top);
    }

    try {
        if (!MPEG1->LibraryLoaded())
            MPEG1->LoadPlayerLibrary();
        if (MPEG1->PlayerMode() == 3)
            MPEG1->Stop();
        const QString sound = currentFolder() + u"/trans/"_s + QString::number(n) + u".mp3"_s;
        MPEG1->setStreamName(QFile::encodeName(sound).toStdString());
        if (zarel::fileExists(MPEG1->StreamName())) {
            MPEG1->Open();
            MPEG1->Play();
            return;
        }
    } catch (const TMPEGError &) { }
    // Nothing plays: the main window comes back at once, as at the end of a sound.
    mainWindowSoundEnded();
}

void TForm1::SpeedButton3Click()
{
    Combo->setEnabled(true);
    TabControl1->setEnabled(true);
    ListBox1->setEnabled(true);
    for (QWidget *w :
         std::initializer_list<QWidget *> { Button7, Button1, Button3, SpeedButton1, SpeedButton2 })
        w->show();
    for (QMenu *m : { N18, N1, N9, N2 })
        m->setEnabled(true);
    Panel4->hide();
    Langugae1->setEnabled(true);
    for (QWidget *w : lockedWhileKeyPageShown(*this))
        w->setEnabled(true);
    Action1->setEnabled(true);
    SpeedButton3->hide();
    // The method buttons, save and clear follow the list: an empty list has nothing to drill.
    updateCommandButtons();
    if (!Combo->currentText().isEmpty())
        ComboBox1Change();
    else
        RichEdit1->clear();
    Combo->setFocus();
    // As after every selection from code, the next typed character starts a new word.
    selectWholeComboText();
}
