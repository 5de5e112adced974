// The transcription and abbreviation keys in the main window: the symbol buttons speak their
// sound and show their line, the window is locked while a key page is shown and unlocked by OK.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "mpegtestsupport.h"
#include "sound/tmpegplayer.h"

#include <filesystem>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class KeysTest : public FormTest
{
protected:
    TForm1 &start(int keyLines)
    {
        writeDictionary({ { 17, { zarel::test::baseEntry("run", "{\\rtf1 run ko\\'femak}") } } });
        std::filesystem::create_directories(file("rtf"));
        std::filesystem::create_directories(file("trans"));
        std::string lines;
        for (int n = 1; n <= keyLines; ++n)
            lines += "line " + std::to_string(n) + "\r\n";
        zarel::test::writeFile(file("rtf/trans.rtf"), lines);
        zarel::test::writeFile(file("rtf/eng.rtf"), "{\\rtf1 (m\\'fcz.) m\\'fczik}");
        const std::string tone = zarel::test::makeToneMp3(m_dir.path(), "tone", 0.5, 22050, 1, 32);
        if (!tone.empty()) {
            std::filesystem::copy_file(tone, file("trans/5.mp3"));
            std::filesystem::copy_file(tone, file("trans/48.mp3"));
        }
        TForm1 &form = startForm();
        form.MPEG1->PathToDLL = MPEGDLL_DIR;
        form.MPEG1->setTimerFreq(50);
        // At real pace on the sound server the symbol's sound is still playing when the test
        // looks at the panels; the pcmfile device can end it before the click returns.
        m_realPace = zarel::test::soundServerAnswers();
        form.MPEG1->OutFilename = file("out.pcm");
        form.MPEG1->setOutputDevice(m_realPace ? TOutputDevice::wavemapper
                                               : TOutputDevice::pcmfile);
        form.show();
        return form;
    }
    int currentLine() { return m_form->RzRichEdit1->textCursor().blockNumber() + 1; }

    bool m_realPace = false;

    // Presses F1 in the active main window; true when a modal window (the help) came up, which
    // is then closed.
    static bool helpOpensOnF1(TForm1 &form)
    {
        QApplication::setActiveWindow(&form);
        if (!QTest::qWaitForWindowActive(&form, 30000))
            return false;
        bool opened = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&opened] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QDialog *>(w);
                if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) {
                    opened = true;
                    dialog->reject();
                }
            }
        });
        closer.start(20);
        QTest::keyClick(&form, Qt::Key_F1);
        QCoreApplication::processEvents();
        return opened;
    }
};

} // namespace

TEST_F(KeysTest, SymbolButtonsSpeakTheirSoundAndShowTheirLine)
{
    TForm1 &form = start(48);
    form.N16->trigger();
    EXPECT_FALSE(form.Panel4->isHidden());
    EXPECT_TRUE(form.Button7->isHidden());
    EXPECT_FALSE(form.Combo->isEnabled());
    EXPECT_FALSE(form.N18->isEnabled());

    form.trans[4]->click(); // trans5
    EXPECT_EQ(currentLine(), 5);
    EXPECT_EQ(form.MPEG1->StreamName(), file("trans/5.mp3"));
    if (m_realPace) {
        EXPECT_FALSE(form.Panel4->isEnabled()); // a second symbol must wait
        EXPECT_FALSE(form.Panel3->isEnabled());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Panel4->isEnabled(); }, 30000));
    EXPECT_FALSE(form.MPEG1->LibraryLoaded());

    form.trans[47]->click(); // trans48
    EXPECT_EQ(currentLine(), 48);
    EXPECT_EQ(form.MPEG1->StreamName(), file("trans/48.mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Panel4->isEnabled(); }, 30000));

    form.trans[0]->click(); // trans1 has no sound file: everything comes back at once
    EXPECT_TRUE(form.Panel4->isEnabled());
    EXPECT_TRUE(form.Panel3->isEnabled());
}

TEST_F(KeysTest, ShortKeyFileIsNotScrolled)
{
    TForm1 &form = start(3);
    form.N16->trigger();
    form.trans[4]->click(); // line 5 does not exist: nothing is scrolled
    EXPECT_EQ(form.RzRichEdit1->verticalScrollBar()->value(), 0);
    EXPECT_EQ(form.RzRichEdit1->toPlainText(), u"line 1\nline 2\nline 3"_s);
}

TEST_F(KeysTest, AbbreviationPageAndOkWithAnEmptyWordBox)
{
    TForm1 &form = start(48);
    form.N17->trigger();
    EXPECT_EQ(form.RichEdit1->toPlainText(), u"(müz.) müzik"_s);
    EXPECT_FALSE(form.SpeedButton3->isHidden());
    form.SpeedButton3->click();
    EXPECT_TRUE(form.RichEdit1->toPlainText().isEmpty()); // the word box was empty
    EXPECT_FALSE(form.Button7->isHidden());
    EXPECT_TRUE(form.Combo->isEnabled());
    EXPECT_TRUE(form.SpeedButton3->isHidden());
    EXPECT_FALSE(form.Button2->isEnabled()); // the list is empty
    EXPECT_TRUE(form.Button4->isHidden());

    form.selectTab(17);
    form.selectItem(0);
    form.N17->trigger();
    form.SpeedButton3->click(); // the headword's article comes back
    EXPECT_EQ(form.RichEdit1->toPlainText(), u"run koşmak"_s);
}

TEST_F(KeysTest, TheTranscriptionPageCoversTheArticle)
{
    TForm1 &form = start(48);
    form.selectTab(17);
    form.selectItem(0);
    form.ComboBox1Change();
    ASSERT_EQ(form.RichEdit1->toPlainText(), u"run koşmak"_s);
    // The article view painted in a colour nothing else of the window has.
    const QColor marker(255, 0, 255);
    QPalette palette = form.RichEdit1->palette();
    palette.setColor(QPalette::Base, marker);
    form.RichEdit1->setPalette(palette);

    form.N16->trigger();
    const auto markerShows = [&] {
        const QImage shot
            = form.grab(QRect(form.Panel4->mapTo(&form, QPoint(0, 0)), form.Panel4->size()))
                  .toImage();
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (shot.pixelColor(x, y) == marker)
                    return true;
            }
        }
        return false;
    };
    // The window as shown where the panel lies: nothing of the article view behind it.
    EXPECT_FALSE(markerShows());
    form.repaint();
    EXPECT_FALSE(markerShows());
    // The panel lies over the whole article view.
    EXPECT_TRUE(form.Panel4->geometry().contains(form.RichEdit1->geometry()));
    form.SpeedButton3->click();
    EXPECT_TRUE(form.Panel4->isHidden());
}

TEST_F(KeysTest, EveryControlIsLockedWhileAKeyPageIsShown)
{
    TForm1 &form = start(48);
    for (QAction *page : { form.N16, form.N17 }) {
        SCOPED_TRACE(page->objectName().toStdString());
        page->trigger();
        // Whatever takes a click or a key outside the key panel and its OK button is locked.
        QStringList open;
        for (QWidget *w : form.findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(w) != nullptr
                || qobject_cast<QComboBox *>(w) != nullptr
                || qobject_cast<QAbstractItemView *>(w) != nullptr
                || qobject_cast<TTabControl *>(w) != nullptr || w == form.Image1;
            if (control && w->isVisible() && w->isEnabled() && w != form.SpeedButton3
                && !form.Panel4->isAncestorOf(w))
                open << w->objectName();
        }
        EXPECT_TRUE(open.isEmpty()) << open.join(u", "_s).toStdString();

        // F1 opens no help, as the Help menu is locked.
        EXPECT_FALSE(helpOpensOnF1(form));

        // A click on the logo does not switch the direction; a Turkish letter types nothing.
        const bool english = form.KbEg1->isChecked();
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        EXPECT_EQ(form.KbEg1->isChecked(), english);
        QTest::mouseClick(form.SpeedButton16, Qt::LeftButton);
        EXPECT_TRUE(form.Combo->currentText().isEmpty());

        QTest::mouseClick(form.SpeedButton3, Qt::LeftButton);
        EXPECT_TRUE(form.Image1->isEnabled());
        EXPECT_TRUE(form.SpeedButton16->isEnabled());
        // Unlocked again, F1 opens the help and the logo switches the direction, and back.
        EXPECT_TRUE(helpOpensOnF1(form));
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        EXPECT_NE(form.KbEg1->isChecked(), english);
        QTest::mouseClick(form.Image1, Qt::LeftButton);
        EXPECT_EQ(form.KbEg1->isChecked(), english);
    }
}
