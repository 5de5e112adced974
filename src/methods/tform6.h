// TForm6: Method 4, the headword typed from its meaning. The article of a list word is shown with
// its headword (and an English word's transcription) cut away; exam mode keeps a score.
#pragma once

#include "methods/core/methodrules.h"
#include "methods/methodsupport.h"

class QCheckBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTimer;
class QToolButton;

class TForm6 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 402;
    static constexpr int kPanelHeight = 338;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm6(zarel::methods::MethodHost *host, QWidget *parent = nullptr);

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
    zarel::ExamScore Score; // exam score: right answers, wrong answers and revealed words
    int RightCount() const { return Score.right(); }
    int WrongCount() const { return Score.wrong(); }

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
