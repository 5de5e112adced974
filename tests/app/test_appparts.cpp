// The parts the main window is built from: splash progress, word-list models, code page
// conversion, tab pictures, the docking layout, the tab control and the error text.
#include "apptestenvironment.h"

#include "app/alignlayout.h"
#include "app/splash.h"
#include "app/tabpictures.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "controls/cp1254text.h"
#include "dictionary/dictionaryindex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QStyle>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;
using zarel::test::userEntry;

TEST(SplashTest, LabelShowsOneToSixDotsAndIsEmptyAfterEverySeventhFile)
{
    const struct
    {
        int files;
        QString label;
    } cases[] = {
        { 1, u"."_s },     { 6, u"......"_s }, { 7, QString() },  { 8, u"."_s },
        { 14, QString() }, { 15, u"."_s },     { 56, QString() },
    };
    for (const auto &c : cases) {
        TSplash splash;
        for (int i = 0; i < c.files; ++i)
            splash.advance();
        EXPECT_EQ(splash.Label1->text(), c.label) << c.files << " files";
    }
}

TEST(SplashTest, AFileReadAFrameAfterTheLastRepaintIsShownAtOnce)
{
    // Counts the label's paints (it is repainted directly, never through the event loop).
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    TSplash splash;
    splash.showAndPaint();
    splash.Label1->installEventFilter(&counter);
    QElapsedTimer sincePaint;
    sincePaint.start();
    while (sincePaint.elapsed() <= TSplash::kLabelPaintInterval)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    counter.paints = 0;
    splash.advance();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(splash.Label1->text(), u"."_s);
}

TEST(SplashTest, IsABorderlessWindowWithALargeBoldLabel)
{
    TSplash splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.Label1->font().bold());
    EXPECT_GE(splash.Label1->font().pixelSize(), 32);
}

TEST(WordListModelTest, HoldsTheHeadwordsOfItsTabReadOnly)
{
    zarel::test::TempDir dir;
    zarel::test::writeTestDictionary(dir.path(),
                                     { { 43,
                                         { baseEntry("\xF6"
                                                     "n",
                                                     "front"),
                                           userEntry("\xF6rnek", "example") } } });
    zarel::DictionaryIndex index;
    ASSERT_TRUE(index.loadTab(dir.path(), 43).ok());

    WordListModel model(index.tab(43));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), u"ön"_s);
    EXPECT_EQ(model.data(model.index(1), Qt::EditRole).toString(), u"örnek"_s);
    EXPECT_FALSE(model.data(model.index(1), Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.flags(model.index(0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0), u"x"_s));
    EXPECT_EQ(model.headword(5), QString());
    EXPECT_EQ(model.rowCount(model.index(0)), 0);

    // A user entry joins the tab's lists first; the model then shows it at its place.
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    index.insertUserEntry(43, 1,
                          zarel::TWordRecord::make("\xF6"
                                                   "bek",
                                                   0, 1, 0));
    model.insertHeadword(1, u"öbek"_s);
    index.insertUserEntry(43, 3, zarel::TWordRecord::make("\xF6z", 1, 1, 0));
    model.insertHeadword(99, u"öz"_s);
    EXPECT_EQ(model.headwords(), (QList<QString> { u"ön"_s, u"öbek"_s, u"örnek"_s, u"öz"_s }));
    EXPECT_EQ(inserted.count(), 2);
    // An insertion the lists never saw adds no row that would have no entry behind it.
    model.insertHeadword(0, u"x"_s);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(inserted.count(), 2);
}

TEST(WordListModelTest, ShowsListsLoadedAfterItWasMade)
{
    zarel::test::TempDir dir;
    zarel::test::writeTestDictionary(dir.path(), { { 2, { baseEntry("cat", "1") } } });
    zarel::DictionaryIndex index;
    WordListModel model(index.tab(2));
    EXPECT_EQ(model.rowCount(), 0);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ASSERT_TRUE(index.loadTab(dir.path(), 2).ok());
    model.reload();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.headwords(), (QList<QString> { u"cat"_s }));
}

TEST(WordListModelTest, ListsNeverCreatedGiveAnEmptyModel)
{
    zarel::TabLists lists;
    WordListModel model(lists);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.data(model.index(0), Qt::DisplayRole).isValid());
}

TEST(Cp1254TextTest, EveryByteRoundTripsAndTurkishLettersMapToUnicode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = zarel::app::fromCp1254(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(zarel::app::toCp1254(text), all);

    EXPECT_EQ(zarel::app::fromCp1254("\xD0\xF0\xDD\xFD\xDE\xFE\x80"), u"ĞğİıŞş€"_s);
    EXPECT_EQ(zarel::app::toCp1254(u"a✓b"_s), "a?b");
    EXPECT_EQ(zarel::app::toCp1254(u"😀"_s, '_'), "__"); // a surrogate pair is two characters
}

TEST(TabPicturesTest, SixteenPixelLettersThatDifferFromTabToTab)
{
    const QList<QPixmap> pictures = zarel::app::makeTabPictures();
    ASSERT_EQ(pictures.size(), 56);
    for (int t = 0; t < 56; ++t)
        EXPECT_EQ(pictures.at(t).size(), QSize(16, 16)) << t;

    auto inked = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qAlpha(image.pixel(x, y)) > 0;
        return n;
    };
    EXPECT_GT(inked(zarel::app::drawTabPicture(0)), 10);
    // I (tab 35) and İ (tab 36) differ by the dot; O and Ö by the umlaut.
    EXPECT_NE(zarel::app::drawTabPicture(35), zarel::app::drawTabPicture(36));
    EXPECT_NE(zarel::app::drawTabPicture(42), zarel::app::drawTabPicture(43));
    // The set drawn in one go shows each tab's own letter, nothing of its neighbours.
    for (int t = 0; t < 56; ++t)
        EXPECT_EQ(pictures.at(t).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  zarel::app::drawTabPicture(t))
            << t;
    EXPECT_TRUE(zarel::app::drawTabPicture(56).isNull());
    EXPECT_TRUE(zarel::app::drawTabPicture(-1).isNull());
}

TEST(AlignLayoutTest, DocksInOrderInsideTheBevel)
{
    QFrame panel;
    panel.setFrameShape(QFrame::Panel);
    panel.setLineWidth(1);
    auto *layout = new AlignLayout(&panel);
    auto *top = new QWidget(&panel);
    top->resize(10, 20);
    auto *right = new QWidget(&panel);
    right->resize(50, 10);
    auto *bottom = new QWidget(&panel);
    bottom->resize(10, 15);
    auto *client = new QWidget(&panel);
    layout->addAligned(top, AlignLayout::Align::Top);
    layout->addAligned(right, AlignLayout::Align::Right);
    layout->addAligned(bottom, AlignLayout::Align::Bottom);
    layout->addAligned(client, AlignLayout::Align::Client);
    panel.resize(202, 102);
    layout->setGeometry(panel.contentsRect());

    EXPECT_EQ(top->geometry(), QRect(1, 1, 200, 20));
    EXPECT_EQ(right->geometry(), QRect(151, 21, 50, 80));
    EXPECT_EQ(bottom->geometry(), QRect(1, 86, 150, 15));
    EXPECT_EQ(client->geometry(), QRect(1, 21, 150, 65));

    right->hide();
    layout->setGeometry(panel.contentsRect());
    EXPECT_EQ(bottom->geometry(), QRect(1, 86, 200, 15));
    EXPECT_EQ(client->geometry(), QRect(1, 21, 200, 65));

    right->show();
    layout->setExtent(right, 30);
    EXPECT_EQ(right->geometry(), QRect(171, 21, 30, 80));
    EXPECT_EQ(client->geometry(), QRect(1, 21, 170, 65));
}

TEST(TTabControlTest, SettingTheTabFromCodeRaisesNoChange)
{
    TTabControl tabs;
    for (int t = 0; t < 56; ++t)
        tabs.addTab(QIcon(QPixmap(16, 16)), QString::number(t));
    QSignalSpy changes(&tabs, &TTabControl::change);

    tabs.setTabIndex(40);
    EXPECT_EQ(tabs.tabIndex(), 40);
    tabs.setTabIndex(56);
    tabs.setTabIndex(-1);
    EXPECT_EQ(tabs.tabIndex(), 40);
    EXPECT_EQ(changes.count(), 0);

    tabs.tabBar()->setCurrentIndex(3); // as a click does
    EXPECT_EQ(changes.count(), 1);
}

TEST(ErrorTextTest, MessageThenPathOnTheNextLine)
{
    EXPECT_EQ(zarel::app::errorText(zarel::Status::failure(zarel::ErrorCode::FileNotFound,
                                                           "File not found", "/d/eg/base_a.dak")),
              u"File not found\n/d/eg/base_a.dak"_s);
    EXPECT_EQ(zarel::app::errorText(zarel::Status::failure(zarel::ErrorCode::ReadError, "Bad")),
              u"Bad"_s);
}

// The buttons' standard icons are looked up when first drawn: each must draw as the style's own
// icon, enabled and disabled, and count as an icon before it has been drawn.
TEST_F(FormTest, ButtonsDrawTheStylesStandardIcons)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    TForm1 &form = startForm();
    const struct
    {
        QAbstractButton *button;
        QStyle::StandardPixmap icon;
    } cases[] = {
        { form.Button2, QStyle::SP_DialogSaveButton },
        { form.Button13, QStyle::SP_FileDialogNewFolder },
        { form.Button4, QStyle::SP_TrashIcon },
        { form.Button7, QStyle::SP_MediaVolume },
        { form.SpeedButton2, QStyle::SP_MediaPlay },
        { form.Button1, QStyle::SP_ArrowRight },
        { form.Button3, QStyle::SP_DialogOpenButton },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        const QIcon icon = c.button->icon();
        EXPECT_FALSE(icon.isNull());
        const QIcon expected = QApplication::style()->standardIcon(c.icon);
        for (QIcon::Mode mode : { QIcon::Normal, QIcon::Disabled }) {
            const QImage drawn = icon.pixmap(QSize(16, 16), mode).toImage();
            EXPECT_FALSE(drawn.isNull());
            EXPECT_EQ(drawn, expected.pixmap(QSize(16, 16), mode).toImage());
        }
        EXPECT_EQ(icon.actualSize(QSize(16, 16)), expected.actualSize(QSize(16, 16)));
    }
}

// The 48 symbol pictures of the key page are drawn when first shown: each is a picture of its
// own, with something drawn on it.
TEST_F(FormTest, KeyPageButtonsDrawTheirOwnSymbols)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    TForm1 &form = startForm();
    QSet<QByteArray> seen;
    for (QToolButton *button : form.trans) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->icon().isNull());
        const QImage picture = button->icon().pixmap(button->iconSize()).toImage();
        ASSERT_EQ(picture.size(), button->iconSize());
        bool drawn = false;
        for (int y = 0; y < picture.height() && !drawn; ++y)
            for (int x = 0; x < picture.width() && !drawn; ++x)
                drawn = qAlpha(picture.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn);
        const QByteArray bytes(reinterpret_cast<const char *>(picture.constBits()),
                               picture.sizeInBytes());
        EXPECT_FALSE(seen.contains(bytes)) << "the same picture as another button";
        seen.insert(bytes);
    }
}
