// Interface language, view and direction through real widgets: the text table both ways, the
// compact view and back, options applied at start, and the direction logos.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "app/userdialogs.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList texts(TForm1 &f)
{
    return { f.N18->title(),        f.N19->text(),        f.N22->text(),
             f.N1->title(),         f.N10->title(),       f.N12->text(),
             f.N13->title(),        f.N15->text(),        f.N9->title(),
             f.N16->text(),         f.Langugae1->title(), f.N2->title(),
             f.F11->text(),         f.N3->text(),         f.N4->text(),
             f.Delete1->text(),     f.Button5->text(),    f.Button12->text(),
             f.Button10->toolTip(), f.Button2->toolTip(), f.SpeedButton2->toolTip(),
             f.Button7->toolTip(),  f.Combo->toolTip(),   f.ControlC1->text(),
             f.KbEg1->text() };
}

} // namespace

TEST_F(FormTest, EnglishAndBackGivesTheTurkishColumn)
{
    writeDictionary({});
    TForm1 &form = startForm();
    EXPECT_EQ(form.Combo->toolTip(), u"Çeviri için kelimeyi yazin"_s); // the design text
    form.N15->trigger();
    EXPECT_EQ(texts(form),
              (QStringList { u"File"_s,
                             u"New"_s,
                             u"Exit"_s,
                             u"Options"_s,
                             u"View"_s,
                             u"Compact"_s,
                             u"Menu Language"_s,
                             u"English"_s,
                             u"Tools"_s,
                             u"Pronunciation Key"_s,
                             u"Translation"_s,
                             u"Help"_s,
                             u"Help         F1"_s,
                             u"About us ..."_s,
                             u"About Dictionary"_s,
                             u"Delete"_s,
                             u"Method 1"_s,
                             u"Method 5"_s,
                             u"Let's play with HangMan"_s,
                             u"Save the words list"_s,
                             u"Play the recorded sound"_s,
                             u"Pronounce this word/phrase"_s,
                             u"Write a word"_s,
                             u"Control-C"_s,
                             u"English - Turkish"_s }));
    EXPECT_EQ(form.Label1->text(), u"0 Words"_s);
    form.N14->trigger();
    EXPECT_EQ(texts(form),
              (QStringList { u"Dosya"_s,
                             u"Yeni"_s,
                             u"Çıkış"_s,
                             u"Seçenekler"_s,
                             u"Görünüm"_s,
                             u"Kısa"_s,
                             u"Menü Dili"_s,
                             u"İngilizce"_s,
                             u"Araçlar"_s,
                             u"Transkripsiyon"_s,
                             u"Çeviri"_s,
                             u"Yardım"_s,
                             u"Yardım         F1"_s,
                             u"Bizim hakkımızda ..."_s,
                             u"Program hakkında"_s,
                             u"Sil"_s,
                             u"Yöntem 1"_s,
                             u"Yöntem 5"_s,
                             u"Adam asma oyunu"_s,
                             u"Kelimeler listesini dosyaya kaydet"_s,
                             u"Tekrarlama"_s,
                             u"Kelimenin telaffuzu"_s,
                             u"Çeviri için kelimeyi yazın"_s,
                             u"Control-C"_s,
                             u"English - Turkish"_s }));
    EXPECT_EQ(form.Label1->text(), u"0 Kelime"_s);
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11111\r\n");
}

TEST_F(FormTest, CompactViewAndBackRestoresTheWidths)
{
    writeDictionary({});
    TForm1 &form = startForm();
    const int window = form.width(), tabs = form.TabControl1->width(), combo = form.Combo->width();
    form.N12->trigger();
    EXPECT_EQ(form.width(), 408);
    EXPECT_TRUE(form.rightPanel1->isHidden());
    EXPECT_EQ(form.TabControl1->width(), tabs - 210);
    EXPECT_EQ(form.Combo->width(), form.TabControl1->width() - 16);
    form.N12->trigger(); // already compact: nothing, not even a write
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11011\r\n");
    form.N11->trigger();
    EXPECT_EQ(form.width(), window);
    EXPECT_EQ(form.TabControl1->width(), tabs);
    EXPECT_EQ(form.Combo->width(), combo);
    EXPECT_FALSE(form.rightPanel1->isHidden());
}

TEST_F(FormTest, StoredOptionsApplyAtStart)
{
    writeDictionary({});
    zarel::test::writeFile(file("Dictionary.cfg"), "11000");
    TForm1 &form = startForm();
    EXPECT_EQ(form.width(), 408);
    EXPECT_EQ(form.N2->title(), u"Help"_s);
    EXPECT_TRUE(form.KbTr1->isChecked());
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11000"); // applying stores nothing
}

TEST_F(FormTest, LogoTogglesTheDirectionAndShowsItsPicture)
{
    writeDictionary({});
    const bool pictures = std::system(("convert -size 90x58 xc:red " + file("logo_en_tr.jpg")
                                       + " && convert -size 90x58 xc:blue " + file("logo_tr_en.jpg")
                                       + " 2>/dev/null")
                                          .c_str())
        == 0;
    TForm1 &form = startForm();
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    EXPECT_TRUE(form.KbTr1->isChecked());
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11110\r\n");
    if (pictures) {
        EXPECT_GT(form.Image1->pixmap().toImage().pixelColor(5, 5).blue(), 240);
    }
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    EXPECT_TRUE(form.KbEg1->isChecked());
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11111\r\n");
    if (pictures) {
        EXPECT_GT(form.Image1->pixmap().toImage().pixelColor(5, 5).red(), 240);
    }
    // A missing logo leaves the picture empty.
    std::remove(file("logo_tr_en.jpg").c_str());
    form.KbTr1->trigger();
    EXPECT_TRUE(form.Image1->pixmap().isNull());
}

// The confirmation's buttons and Qt's own dialog texts follow the interface language.
TEST_F(FormTest, StandardDialogsSpeakTheInterfaceLanguage)
{
    writeDictionary({});
    TForm1 &form = startForm();
    const auto buttonsOfTheConfirmation = [&] {
        QStringList seen;
        QTimer::singleShot(0, &form, [&] {
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr, 30000);
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            for (QAbstractButton *b : box->buttons())
                seen << b->text().remove(u'&'); // the style may add a shortcut mark
            box->button(QMessageBox::No)->click();
        });
        EXPECT_FALSE(zarel::app::confirm(&form, u"?"_s));
        seen.sort();
        return seen;
    };
    const struct
    {
        QAction *language;
        QStringList buttons;
        QString cancel; // one of Qt's own texts, as its file dialogs show it
    } cases[] = {
        { form.N14, { u"Evet"_s, u"Hayır"_s }, u"İptal"_s },
        { form.N15, { u"No"_s, u"Yes"_s }, u"Cancel"_s },
        { form.N14, { u"Evet"_s, u"Hayır"_s }, u"İptal"_s },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.language->objectName().toStdString());
        c.language->trigger();
        EXPECT_EQ(buttonsOfTheConfirmation(), c.buttons);
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        if (c.cancel == u"İptal"_s && cancel == u"Cancel"_s)
            GTEST_SKIP() << "Qt's Turkish translations (qt6-translations-l10n) are not installed";
        EXPECT_EQ(cancel, c.cancel);
    }
}
