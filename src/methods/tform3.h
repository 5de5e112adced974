// TForm3: Method 1, a slide show of the word list. Each list word is shown as its dictionary
// headword with its article, at a chosen speed, and English base headwords are pronounced.
#pragma once

#include "methods/methodsupport.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTextEdit;
class QTimer;
class QToolButton;

class TForm3 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 401;
    static constexpr int kPanelHeight = 306;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm3(zarel::methods::MethodHost *host, QWidget *parent = nullptr);

    void FormCreate();
    void Button3Click(); // start/stop
    void Timer1Timer(); // the show's step: the next word unless a pronunciation plays
    void Timer2Timer(); // blink
    void TrackBar1Change(); // speed: position x 500 ms
    void Button5Click(); // next word
    void Button4Click(); // previous word
    void Button7Click(); // show and pronounce the current word again
    void CheckBox1Click();
    void SpeedButton1Click(); // help
    void Button1Click(); // exit

    int WordIndex = -1; // the list entry on show; -1 before the first word

    QLineEdit *Edit1;
    QLabel *Label4;
    QTextEdit *RichEdit1;
    QLabel *Label5;
    QSlider *TrackBar1;
    QLabel *Label1;
    QLabel *Label3; // "+"
    QLabel *Label2; // "-"
    QCheckBox *CheckBox1;
    QProgressBar *PrgBar1;
    QFrame *Strip;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    QPushButton *Button7;
    QPushButton *Button1;
    QToolButton *SpeedButton1;
    QTimer *Timer1;
    QTimer *Timer2;

private:
    void buildControls();
    void setTexts();
    // Shows list entry i: its headword in Edit1, its article in RichEdit1, the list selection
    // and the progress bar; pronounces an English base headword when `speak` is set.
    void showWord(int i, bool speak);
};
