// Every caption of every window can be read whole, in both interface languages: each window is
// built by its own constructor on a started main window, shown offscreen with the fonts the
// desktop program gets, and every shown label, button, check box, radio button, header section
// and tab caption is measured against its room.
#include "captionfit.h"
#include "methodtestsupport.h"

#include "app/tnewword.h"
#include "hangman/thangform1.h"
#include "help/taboutform.h"
#include "help/taboutprogform.h"
#include "help/tform8.h"
#include "learning/tlearningprogress.h"
#include "methods/tform2.h"
#include "methods/tform3.h"
#include "methods/tform4.h"
#include "methods/tform5.h"
#include "methods/tform6.h"

#include <functional>
#include <memory>
#include <ostream>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// A window to check: `open` builds it over the started main window and returns it (null when
// the main window itself, in the state `open` left it, is the window to check).
struct WindowCase
{
    const char *name;
    std::function<std::unique_ptr<QWidget>(TForm1 &)> open;
    bool captions = true; // false: the window shows no caption (a page viewer)
};

const QStringList kList = { u"book*"_s, u"car*"_s, u"run*"_s, u"kitap"_s };

const WindowCase kWindows[] = {
    { "MainWindow", [](TForm1 &) { return std::unique_ptr<QWidget>(); } },
    { "MainWindowCompact",
      [](TForm1 &main) {
          main.N12Click();
          return std::unique_ptr<QWidget>();
      } },
    { "TranscriptionKeys",
      [](TForm1 &main) {
          main.N16Click();
          return std::unique_ptr<QWidget>();
      } },
    { "AbbreviationKeys",
      [](TForm1 &main) {
          main.N17Click();
          return std::unique_ptr<QWidget>();
      } },
    { "Method1", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm3(&main)); } },
    { "Method2", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm5(&main)); } },
    { "Method2Translation",
      [](TForm1 &main) {
          auto *form = new TForm5(&main);
          form->SpeedButton1->setEnabled(true);
          form->SpeedButton1Click();
          return std::unique_ptr<QWidget>(form);
      } },
    { "Method3", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm4(&main)); } },
    { "Method4", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm6(&main)); } },
    { "Method4ThreeDigitScore",
      [](TForm1 &main) {
          // A long exam: the score panel holds three-digit counts.
          auto *form = new TForm6(&main);
          form->Label1->setText(u"999 - 999"_s);
          return std::unique_ptr<QWidget>(form);
      } },
    { "Method5", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm2(&main)); } },
    { "Method5NoEnglishWord",
      [](TForm1 &main) {
          // A list without English words: the window says so under its next-word button.
          main.setMarkedEntries({ u"kitap"_s });
          auto *form = new TForm2(&main);
          form->Button8Click();
          return std::unique_ptr<QWidget>(form);
      } },
    { "Hangman",
      [](TForm1 &main) {
          auto *form = new THangForm1(&main);
          form->startFirstGame(u"book"_s, false);
          return std::unique_ptr<QWidget>(form);
      } },
    { "HangmanLongPhrase",
      [](TForm1 &main) {
          auto *form = new THangForm1(&main);
          form->startFirstGame(u"electroencephalographic recording"_s, false);
          return std::unique_ptr<QWidget>(form);
      } },
    { "HangmanThreeDigitScore",
      [](TForm1 &main) {
          // The scores outlive the window for the whole run.
          auto *form = new THangForm1(&main);
          form->startFirstGame(u"book"_s, false);
          form->Label3->setText(u"999 - 999"_s);
          return std::unique_ptr<QWidget>(form);
      } },
    { "AddWord",
      [](TForm1 &main) {
          return std::unique_ptr<QWidget>(
              new TNewWord(main.ProgramFolder, u"zebra"_s, 25, main.N15->isChecked(), &main));
      } },
    { "Help", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TForm8(&main)); }, false },
    { "AboutUs", [](TForm1 &main) { return std::unique_ptr<QWidget>(new TAboutForm(&main)); } },
    { "AboutProgram",
      [](TForm1 &main) { return std::unique_ptr<QWidget>(new TAboutProgForm(&main)); } },
    { "LearningProgress",
      [](TForm1 &main) {
          return std::unique_ptr<QWidget>(new TLearningProgress(main, main.N15->isChecked()));
      } },
};

struct CaptionCase
{
    const WindowCase *window;
    bool english;
};

// How a case reads in the test list and in failure messages.
void PrintTo(const CaptionCase &c, std::ostream *os)
{
    *os << c.window->name << (c.english ? " (English)" : " (Turkish)");
}

std::vector<CaptionCase> captionCases()
{
    std::vector<CaptionCase> cases;
    for (const WindowCase &w : kWindows)
        for (bool english : { false, true })
            cases.push_back({ &w, english });
    return cases;
}

class CaptionTest : public MethodTest, public ::testing::WithParamInterface<CaptionCase>
{
};

// The scrolling text of the about-us window moves through its frame by design.
bool scrollsByDesign(const QString &problem)
{
    return problem.startsWith(u"Label1 "_s) && problem.contains(u"runs past its parent"_s);
}

} // namespace

TEST_P(CaptionTest, EveryShownCaptionFits)
{
    const CaptionCase &c = GetParam();
    startDictionary(false, 0.3, c.english ? "11101" : "11111");
    setList(kList);
    TForm1 &main = *m_form;
    ASSERT_EQ(main.N15->isChecked(), c.english);

    std::unique_ptr<QWidget> window = c.window->open(main);
    QWidget *checked = window ? window.get() : static_cast<QWidget *>(&main);
    checked->show();
    QApplication::processEvents();

    zarel::test::CaptionReport report = zarel::test::measureCaptions(checked);
    if (c.window->captions) {
        EXPECT_GT(report.measured, 0) << c.window->name << ": no caption was measured";
    }
    QStringList &problems = report.clipped;
    if (qobject_cast<TAboutForm *>(checked) != nullptr)
        problems.removeIf(scrollsByDesign);
    EXPECT_TRUE(problems.isEmpty())
        << ::testing::PrintToString(c) << ":\n  " << problems.join(u"\n  "_s).toStdString();
    window.reset();
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionTest, ::testing::ValuesIn(captionCases()),
                         [](const ::testing::TestParamInfo<CaptionCase> &info) {
                             return std::string(info.param.window->name)
                                 + (info.param.english ? "English" : "Turkish");
                         });

// The offscreen windows of these tests measure with the fonts the desktop program draws with:
// the designed faces resolve to their metric twins, and the application font is the one the
// desktop's font configuration picks for the generic sans-serif face.
TEST(CaptionFonts, TestsMeasureWithTheDesktopFonts)
{
    EXPECT_EQ(zarel::test::resolvedFamily(u"Arial"_s), u"Liberation Sans"_s)
        << "install fonts-liberation2";
    EXPECT_EQ(zarel::test::resolvedFamily(u"Times New Roman"_s), u"Liberation Serif"_s)
        << "install fonts-liberation2";

    const QFont application = QApplication::font();
    EXPECT_EQ(application.family(), u"Sans Serif"_s);
    EXPECT_DOUBLE_EQ(application.pointSizeF(), 9.0);

    const QString fcMatch = QStandardPaths::findExecutable(u"fc-match"_s);
    if (fcMatch.isEmpty())
        GTEST_SKIP() << "fc-match is not installed";
    QProcess match;
    match.start(fcMatch, { u"-f"_s, u"%{family[0]}"_s, u"Sans Serif"_s });
    ASSERT_TRUE(match.waitForFinished(-1));
    EXPECT_EQ(QFontInfo(application).family(), QString::fromUtf8(match.readAllStandardOutput()));
}

// The about text scrolls through its frame: at the end of its way up its last line must have
// come out above the lower edge strip, however its longest word wraps at the shown width.
TEST_F(FormTest, AboutTextEndsAboveTheLowerStrip)
{
    TAboutForm form;
    form.show();
    form.Timer1->stop();
    QLabel *label = form.Label1;
    const int textHeight = label->heightForWidth(label->width());
    EXPECT_LE(textHeight, label->height());
    EXPECT_LE(form.endTop() + textHeight, form.Panel4->y());
}
