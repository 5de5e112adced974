// The about windows: background pictures (missing, damaged, good), the scrolling text with its
// wrap-around, pausing and resuming in either direction, and closing.
#include "help/taboutform.h"
#include "help/taboutprogform.h"
#include "support/testdictionary.h"

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::TempDir;
using zarel::test::writeFile;

namespace {

std::string jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 60, 120));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return data.toStdString();
}

// Runs each test inside a temporary folder, the windows' current directory.
class AboutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path());
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }

    TempDir m_dir;
    std::filesystem::path m_previous;
};

int top(const TAboutForm &form)
{
    return form.Label1->y();
}

} // namespace

TEST_F(AboutTest, BackgroundPictureOrPlainGround)
{
    const std::string good = jpegBytes(406, 194);
    struct Case
    {
        const char *what;
        std::function<void()> prepare;
        bool picture;
    };
    const Case cases[] = {
        { "missing", [] {}, false },
        { "garbage", [] { writeFile("about.jpg", "not a picture at all"); }, false },
        { "truncated", [&] { writeFile("about.jpg", good.substr(0, 20)); }, false },
        { "empty", [] { writeFile("about.jpg", ""); }, false },
        { "good", [&] { writeFile("about.jpg", good); }, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        TAboutForm form;
        form.show();
        EXPECT_EQ(!form.Image1->pixmap().isNull(), c.picture);
        if (c.picture) {
            EXPECT_EQ(form.Image1->pixmap().size(), QSize(406, 194));
        }
        EXPECT_EQ(form.Image1->geometry(), form.rect());
        std::filesystem::remove("about.jpg");
    }
}

TEST_F(AboutTest, LayoutAndTextAsDesigned)
{
    TAboutForm form;
    EXPECT_EQ(form.size(), QSize(406, 194));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form.Panel1->geometry(), QRect(175, 83, 220, 100));
    EXPECT_EQ(form.Panel2->size(), QSize(180, 91));
    EXPECT_EQ(form.Label1->font().pixelSize(), 11);
    EXPECT_TRUE(form.Timer1->isActive()); // runs from creation
    EXPECT_EQ(form.Timer1->interval(), 100);
    EXPECT_EQ(TAboutForm::aboutText().count(u"\n\r"_s), 14);
    EXPECT_TRUE(TAboutForm::aboutText().endsWith(u"\n\r"_s));
}

TEST_F(AboutTest, ShowingPlacesTheLabelBelowTheVisibleArea)
{
    TAboutForm form;
    form.show();
    EXPECT_EQ(form.direction(), -1);
    EXPECT_EQ(form.startTop(), form.Panel4->y() + 10);
    EXPECT_GE(form.startTop(), form.Panel2->height()); // out of sight
    EXPECT_EQ(top(form), form.startTop());
    EXPECT_EQ(form.Label1->width(), 160);
    EXPECT_EQ(form.endTop(), 100 - form.Label1->height());
    EXPECT_LT(form.endTop(), 0);
    EXPECT_FALSE(form.Label1->text().contains(u'\r'));
}

TEST_F(AboutTest, TextWrapsAroundInBothDirections)
{
    TAboutForm form;
    form.show();
    form.Timer1->stop();
    form.Timer1Timer();
    EXPECT_EQ(top(form), form.startTop() - 1);

    form.Label1->move(form.Label1->x(), form.endTop() + 1);
    form.Timer1Timer(); // reaches the end top: back to the start
    EXPECT_EQ(top(form), form.startTop());

    form.SpeedButton4->click();
    form.Timer1->stop();
    EXPECT_EQ(form.direction(), 1);
    form.Label1->move(form.Label1->x(), form.endTop());
    form.Timer1Timer();
    EXPECT_EQ(top(form), form.endTop() + 1);
    form.Label1->move(form.Label1->x(), form.startTop() - 1);
    form.Timer1Timer(); // reaches the start top: on to the end
    EXPECT_EQ(top(form), form.endTop());
}

TEST_F(AboutTest, PausedTextResumesWhereItStoppedInEitherDirection)
{
    const std::pair<QToolButton * TAboutForm::*, int> choices[] = {
        { &TAboutForm::SpeedButton2, -1 },
        { &TAboutForm::SpeedButton4, 1 },
    };
    for (const auto &[button, step] : choices) {
        SCOPED_TRACE(step);
        TAboutForm form;
        form.show();
        for (int i = 0; i < 5; ++i)
            form.Timer1Timer();
        form.SpeedButton3->click();
        EXPECT_FALSE(form.Timer1->isActive());
        const int stopped = top(form);
        EXPECT_EQ(stopped, form.startTop() - 5);

        (form.*button)->click();
        EXPECT_TRUE(form.Timer1->isActive());
        EXPECT_EQ(form.direction(), step);
        EXPECT_EQ(top(form), stopped); // not restarted
        form.Timer1->stop();
        form.Timer1Timer();
        EXPECT_EQ(top(form), stopped + step);
    }
}

TEST_F(AboutTest, TimerMovesTheTextByItself)
{
    TAboutForm form;
    form.show();
    const int start = top(form);
    EXPECT_TRUE(QTest::qWaitFor([&] { return top(form) < start; }, 30000));
}

TEST_F(AboutTest, CloseButtonsAccept)
{
    TAboutForm about;
    about.show();
    about.SpeedButton1->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());

    TAboutProgForm program;
    program.show();
    program.SpeedButton1->click();
    EXPECT_EQ(program.result(), QDialog::Accepted);
    EXPECT_FALSE(program.isVisible());
}

TEST_F(AboutTest, ProgramWindowShowsThreeLinesOnAnyBackground)
{
    writeFile("aboutprog.jpg", jpegBytes(406, 194).substr(0, 100));
    TAboutProgForm form;
    form.show();
    EXPECT_EQ(form.size(), QSize(406, 194));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Label1->text().split(u'\n').size(), 3);
    EXPECT_TRUE(form.Label1->text().startsWith(u"Zarel English Dictionary"_s));
}
