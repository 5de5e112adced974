// TForm1's interface language, view and translation direction: the texts of both languages,
// the compact view, the direction logos, the logo click and the beep while a key page is shown.
#include "app/tform1.h"

#include "app/alignlayout.h"
#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "help/backgroundpicture.h"
#include "platform/jpegdecoder.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kCompactWidth = 408;

} // namespace

void TForm1::applyInterfaceLanguage()
{
    const bool tr = Config.turkishInterface;
    zarel::app::setDialogLanguage(tr);
    const auto text
        = [tr](const QString &turkish, const QString &english) { return tr ? turkish : english; };
    N18->setTitle(text(u"Dosya"_s, u"File"_s));
    N19->setText(text(u"Yeni"_s, u"New"_s));
    N20->setText(text(u"Aç"_s, u"Open"_s));
    N21->setText(text(u"Kaydet"_s, u"Save"_s));
    N22->setText(text(u"Çıkış"_s, u"Exit"_s));
    N1->setTitle(text(u"Seçenekler"_s, u"Options"_s));
    N10->setTitle(text(u"Görünüm"_s, u"View"_s));
    N11->setText(u"Standart"_s);
    N12->setText(text(u"Kısa"_s, u"Compact"_s));
    N13->setTitle(text(u"Menü Dili"_s, u"Menu Language"_s));
    N14->setText(text(u"Türkçe"_s, u"Turkish"_s));
    N15->setText(text(u"İngilizce"_s, u"English"_s));
    N9->setTitle(text(u"Araçlar"_s, u"Tools"_s));
    N16->setText(text(u"Transkripsiyon"_s, u"Pronunciation Key"_s));
    N17->setText(text(u"Kısaltmalar"_s, u"Abbreviation Key"_s));
    Langugae1->setTitle(text(u"Çeviri"_s, u"Translation"_s));
    N2->setTitle(text(u"Yardım"_s, u"Help"_s));
    F11->setText(text(u"Yardım         F1"_s, u"Help         F1"_s));
    N3->setText(text(u"Bizim hakkımızda ..."_s, u"About us ..."_s));
    N4->setText(text(u"Program hakkında"_s, u"About Dictionary"_s));
    Delete1->setText(text(u"Sil"_s, u"Delete"_s));
    Button5->setText(text(u"Yöntem 1"_s, u"Method 1"_s));
    Button9->setText(text(u"Yöntem 2"_s, u"Method 2"_s));
    Button11->setText(text(u"Yöntem 3"_s, u"Method 3"_s));
    Button16->setText(text(u"Yöntem 4"_s, u"Method 4"_s));
    Button12->setText(text(u"Yöntem 5"_s, u"Method 5"_s));
    Button10->setToolTip(text(u"Adam asma oyunu"_s, u"Let's play with HangMan"_s));
    Button2->setToolTip(text(u"Kelimeler listesini dosyaya kaydet"_s, u"Save the words list"_s));
    Button13->setToolTip(
        text(u"Kelimeler dosyasını listeye ekle"_s, u"Add items to the words list"_s));
    Button3->setToolTip(text(u"Kelimeler dosyasını listeye aç"_s, u"Open the words list"_s));
    Button1->setToolTip(text(u"Listeye ekle"_s, u"Add an item to the words list"_s));
    SpeedButton2->setToolTip(text(u"Tekrarlama"_s, u"Play the recorded sound"_s));
    SpeedButton1->setToolTip(text(u"Ses kaydı"_s, u"Record"_s));
    SpeedButton3->setToolTip(text(u"Tamam"_s, u"OK"_s));
    Button7->setToolTip(text(u"Kelimenin telaffuzu"_s, u"Pronounce this word/phrase"_s));
    Button4->setToolTip(text(u"Kelimeler listesini sil"_s, u"Clear the words list"_s));
    Combo->setToolTip(text(u"Çeviri için kelimeyi yazın"_s, u"Write a word"_s));
    updateCountLabel();
    Q_EMIT interfaceLanguageApplied();
}

void TForm1::applyView()
{
    // The tab control is docked in the top strip, which keeps its width as the extent.
    auto *topLayout = qobject_cast<AlignLayout *>(topPanel->layout());
    const auto setTabWidth = [&](int width) {
        if (topLayout)
            topLayout->setExtent(TabControl1, width);
        TabControl1->resize(width, TabControl1->height());
    };
    if (!Config.standardView) {
        setTabWidth(TabControl1->width() - rightPanel1->width());
        Combo->resize(TabControl1->width() - 16, Combo->height());
        rightPanel1->hide();
        setClientSize(kCompactWidth, centralWidget()->height());
    } else {
        setTabWidth(m_designedTabWidth);
        Combo->resize(m_designedComboWidth, Combo->height());
        rightPanel1->show();
        setClientSize(m_designedFormWidth, centralWidget()->height());
    }
}

void TForm1::applyDirection()
{
    // The logo is read from the current directory; a missing or damaged picture leaves it empty.
    const char *file = Config.englishToTurkish ? "logo_en_tr.jpg" : "logo_tr_en.jpg";
    zarel::RgbImage picture;
    QPixmap pixmap;
    if (zarel::decodeJpegFile(file, picture).ok()) {
        const QImage image(picture.pixels.data(), picture.width, picture.height, picture.width * 3,
                           QImage::Format_RGB888);
        pixmap = QPixmap::fromImage(image.copy());
    }
    Image1->setPixmap(pixmap);
}

void TForm1::loadBackgrounds()
{
    // The textures lie in the data folder; a missing or damaged picture leaves the panel plain.
    const QPixmap strip = zarel::help::loadJpegPicture(u"strip.jpg"_s);
    const QPixmap texture = zarel::help::loadJpegPicture(u"texture.jpg"_s);
    for (QLabel *image : { Image2, Image3, Image4 }) {
        image->setScaledContents(true);
        image->setPixmap(image == Image2 ? strip : texture);
    }
}

void TForm1::Image1Click()
{
    if (!Config.englishToTurkish)
        KbEg1Click();
    else
        KbTr1Click();
}

void TForm1::beepWhileKeyPageShown()
{
    if (Button7->isHidden())
        QApplication::beep();
}

bool TForm1::languageEvent(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    if (watched == Image1) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Image1Click();
        return false;
    }
    beepWhileKeyPageShown();
    return false;
}

void TForm1::wireLanguage()
{
    for (QWidget *w : std::initializer_list<QWidget *> { Image1, Image2, Image3, Image4, Image5,
                                                         mainPanel, Panel1, topPanel, Label1 })
        w->installEventFilter(this);
    connect(RichEdit1, &QTextEdit::textChanged, this, &TForm1::beepWhileKeyPageShown);
}
