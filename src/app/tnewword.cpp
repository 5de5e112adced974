// TNewWord: layout, style check boxes, and Save through the user-entry store, which also starts
// the spoken sound of an English word.
#include "app/tnewword.h"

#include "controls/rtfqt.h"
#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/userentries.h"
#include "rtf/rtfwriter.h"
#include "sound/usersoundmaker.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QFont dialogFont(bool bold)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    font.setBold(bold);
    return font;
}

// Converts dialog text to code page 1254; false when a character cannot be expressed.
bool toCp1254(const QString &text, std::string &out)
{
    bool lossless = false;
    out = zarel::cp1254::fromUtf8(text.toStdString(), '?', &lossless);
    return lossless;
}

} // namespace

TNewWord::TNewWord(const std::string &programFolder, const QString &word, int tab,
                   bool englishInterface, QWidget *parent)
    : QDialog(parent)
    , m_programFolder(programFolder)
    , m_word(word)
    , m_tab(tab)
    , m_english(englishInterface)
{
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(420, 330);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xE0, 0xC8));
    setPalette(pal);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(10, 10, 400, 26);
    Edit1->setFont(dialogFont(false));
    Edit1->setText(word);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(10, 44, 400, 200);
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setFont(dialogFont(false));
    RichEdit1->document()->setDefaultFont(dialogFont(false));
    // The first line of the article is the word itself in bold, as articles begin; the caret
    // waits on the plain line below it, so what the user writes there starts plain, wherever in
    // it the user clicks. Every format is set on the text itself so that it is written into the
    // stored article.
    QTextCharFormat articleFormat;
    articleFormat.setFontFamilies({ QStringLiteral("Times New Roman") });
    articleFormat.setFontPointSize(12);
    articleFormat.setFontWeight(QFont::Normal);
    QTextCharFormat headwordFormat = articleFormat;
    headwordFormat.setFontWeight(QFont::Bold);
    QTextCursor cursor = RichEdit1->textCursor();
    cursor.insertText(word, headwordFormat);
    cursor.insertBlock(cursor.blockFormat(), articleFormat);
    RichEdit1->setTextCursor(cursor);
    RichEdit1->setCurrentCharFormat(articleFormat);

    CheckBox1 = new QCheckBox(QStringLiteral("Bold"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(10, 250, 80, 20);
    CheckBox2 = new QCheckBox(QStringLiteral("Italic"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(100, 250, 80, 20);
    CheckBox3 = new QCheckBox(QStringLiteral("Underline"), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setGeometry(190, 250, 100, 20);

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setGeometry(10, 272, 400, 18);
    MessageLabel->setStyleSheet(QStringLiteral("color: #a00000"));

    Button1 = new QPushButton(englishInterface ? QStringLiteral("Save") : QStringLiteral("Kaydet"),
                              this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(230, 294, 85, 28);
    Button2 = new QPushButton(englishInterface ? QStringLiteral("Cancel") : QStringLiteral("İptal"),
                              this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(325, 294, 85, 28);

    connect(RichEdit1, &QTextEdit::currentCharFormatChanged, this, &TNewWord::showCaretStyle);
    connect(RichEdit1, &QTextEdit::cursorPositionChanged, this, &TNewWord::showCaretStyle);
    showCaretStyle();
    connect(CheckBox1, &QCheckBox::clicked, this, &TNewWord::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TNewWord::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &TNewWord::CheckBox3Click);
    connect(Button1, &QPushButton::clicked, this, &TNewWord::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TNewWord::Button2Click);
}

void TNewWord::showCaretStyle()
{
    // The format the caret types with (for a selection, that of its last character); a
    // property the text does not set comes from the document's default font.
    const QTextCharFormat f = RichEdit1->currentCharFormat();
    const QFont base = RichEdit1->document()->defaultFont();
    const bool bold
        = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : base.bold();
    const bool italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
    const bool underline = f.hasProperty(QTextFormat::TextUnderlineStyle)
            || f.hasProperty(QTextFormat::FontUnderline)
        ? f.fontUnderline()
        : base.underline();
    // setChecked does not emit clicked, so showing a style never sets it.
    CheckBox1->setChecked(bold);
    CheckBox2->setChecked(italic);
    CheckBox3->setChecked(underline);
}

void TNewWord::applyStyle(const QTextCharFormat &style)
{
    RichEdit1->mergeCurrentCharFormat(style);
    RichEdit1->setFocus();
    showCaretStyle();
}

void TNewWord::CheckBox1Click()
{
    QTextCharFormat f;
    f.setFontWeight(CheckBox1->isChecked() ? QFont::Bold : QFont::Normal);
    applyStyle(f);
}

void TNewWord::CheckBox2Click()
{
    QTextCharFormat f;
    f.setFontItalic(CheckBox2->isChecked());
    applyStyle(f);
}

void TNewWord::CheckBox3Click()
{
    QTextCharFormat f;
    f.setFontUnderline(CheckBox3->isChecked());
    applyStyle(f);
}

void TNewWord::showRefusal(const QString &turkish, const QString &english)
{
    MessageLabel->setText(m_english ? english : turkish);
}

void TNewWord::Button1Click()
{
    std::string headword;
    if (!toCp1254(Edit1->text(), headword)) {
        showRefusal(QStringLiteral("Kelimede kullanılamayan bir harf var."),
                    QStringLiteral("The word holds a character that cannot be stored."));
        return;
    }
    if (headword.empty()) {
        showRefusal(QStringLiteral("Kelime boş olamaz."), QStringLiteral("The word is empty."));
        return;
    }
    if (headword.size() > static_cast<size_t>(zarel::kMaxHeadwordLength)) {
        showRefusal(QStringLiteral("Kelime en çok 101 harf olabilir."),
                    QStringLiteral("The word may have at most 101 characters."));
        return;
    }
    const std::string article = zarel::rtf::write(zarel::toRtfDocument(RichEdit1->document()));
    const zarel::Status st
        = zarel::storeUserEntry(m_programFolder, m_tab, headword, article, &m_record);
    if (!st.ok()) {
        const QString detail
            = QString::fromStdString(st.message + (st.path.empty() ? "" : ": " + st.path));
        showRefusal(QStringLiteral("Kaydedilemedi: ") + detail,
                    QStringLiteral("Could not save: ") + detail);
        return;
    }
    m_stored = true;
    // An English word gets its spoken sound in the background; the maker outlives the dialog
    // and tells the window that opened it when the sound is there.
    if (zarel::isEnglishTab(m_tab)) {
        QObject *owner = parentWidget();
        if (owner == nullptr)
            owner = QCoreApplication::instance();
        m_soundMaker = UserSoundMaker::start(m_programFolder, m_tab, headword, owner);
    }
    accept();
}

void TNewWord::Button2Click()
{
    reject();
}
