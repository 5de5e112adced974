// TForm6: Method 4, the headword typed from its meaning. The article of a list word is shown with
// its headword (and an English word's transcription) cut away; exam mode keeps a score.
#pragma once

#include "methods/methodsupport.h"

#include <cstddef>
#include <string_view>
#include <vector>

class QCheckBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTimer;
class QToolButton;

namespace zarel {

// The number of leading characters of an article's text that give its word away: the first
// `headwordLength` characters (the headword), and for an English word also the rest up to and
// including the second "/" after them (the transcription). Without two such slashes only the
// headword is hidden. Never more than the text's length.
std::size_t hiddenArticleLength(std::u16string_view article, std::size_t headwordLength,
                                bool english);

// A run of characters of a text: `length` characters from `start`.
struct TextSpan
{
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan &) const = default;
};

// Where `answer` shows in `text`, in text order and never overlapping: compared without regard to
// letter case (the Latin letters of both languages; I, ı, İ and i all alike), each occurrence at
// the start of a word. An answer of four characters or more also counts at the start of a longer
// word ("apples" for "apple"); a shorter one only as a whole word, so that "go" does not take
// "good" apart. An empty answer shows nowhere.
std::vector<TextSpan> answerOccurrences(std::u16string_view text, std::u16string_view answer);

// What the article shows in place of each occurrence of the answer.
inline constexpr char16_t kAnswerMask[] = u"~";

} // namespace zarel

class TForm6 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 402;
    static constexpr int kPanelHeight = 338;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm6(TForm1 *mainForm, QWidget *parent = nullptr);

    void FormCreate();
    void Button5Click(); // start/stop
    void Button4Click(); // next word (Button7 too)
    void Button6Click(); // previous word, in list order
    void Button8Click(); // show the word
    void Button3Click(); // check the answer (also Enter in Edit1)
    void Timer3Timer(); // blink
    void SpeedButton1Click(); // help
    void Button2Click(); // exit

    int WordIndex = 0; // the list entry of the current word
    QString AnswerWord; // the current word as the list spells it
    bool Answered = false; // the current word has been answered right
    int RightCount = 0; // exam score: right answers
    int WrongCount = 0; // exam score: wrong answers and revealed words

    QTextEdit *RichEdit1;
    QLineEdit *Edit1;
    QToolButton *Button3;
    QToolButton *Button8;
    QToolButton *Button4;
    QToolButton *SpeedButton1;
    QLabel *Label4;
    QFrame *ScorePanel;
    QHeaderView *HeaderControl1;
    QLabel *Label1; // the score
    QCheckBox *CheckBox1; // random word order
    QCheckBox *CheckBox2; // exam mode
    QProgressBar *PrgBar1;
    QFrame *Strip;
    QPushButton *Button5;
    QPushButton *Button6;
    QPushButton *Button7;
    QPushButton *Button2;
    QTimer *Timer3;

private:
    void buildControls();
    void setTexts();
    // The next-word command; `random` draws the entry instead of taking the following one.
    // With `dueFirst` the words due for review come first when the learner asked for that.
    void nextWord(bool random, bool dueFirst = false);
    // Replaces every occurrence of AnswerWord left in the shown article by kAnswerMask.
    void maskAnswer();
    void showScore();
};
