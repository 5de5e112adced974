// TForm4: Method 3, memorise and type. Each list word is shown (and pronounced) for a memorising
// time, then hidden; the user types it and hears whether it was right.
#pragma once

#include "methods/methodsupport.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

class TForm4 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 396;
    static constexpr int kPanelHeight = 241;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm4(zarel::methods::MethodHost *host, QWidget *parent = nullptr);

    void FormCreate();
    void Button9Click(); // start/stop
    void Button8Click(); // next word (in list order, or at random with CheckBox1)
    void Button6Click(); // next word
    void Button7Click(); // previous word, in list order
    void Timer1Timer(); // end of the memorising time: the word is hidden
    void Button5Click(); // show the word
    void Button4Click(); // check the answer (also Enter in Edit1)
    void Button3Click(); // repeat the word with a new memorising time
    void TrackBar1Change(); // memorising time: position x 200 ms
    void Timer3Timer(); // blink
    void SpeedButton1Click(); // help
    void Button1Click(); // exit

    int WordIndex = -1; // the current list entry; -1 before the first word
    QString AnswerWord; // the current word as it stands in the list
    bool Revealed = false; // the user has once revealed a word or answered right

    QLineEdit *Edit1;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    QPushButton *Button6;
    QLabel *Image1;
    QLabel *Label1;
    QSlider *TrackBar1;
    QLabel *Label3; // "+"
    QLabel *Label2; // "-"
    QCheckBox *CheckBox1;
    QProgressBar *PrgBar1;
    QFrame *Strip;
    QPushButton *Button9;
    QPushButton *Button7;
    QPushButton *Button8;
    QPushButton *Button1;
    QToolButton *SpeedButton1;
    QTimer *Timer1;
    QTimer *Timer3;

private:
    void buildControls();
    void setTexts();
    // Show, check and repeat work while running, once the memorising time is over, or during it
    // until the first reveal or right answer.
    bool answering() const;
    // Presents list entry i for a new memorising time and pronounces it from the program's
    // sound folder; `previous` (the previous-word command) also disables Button7 while it plays.
    void presentWord(int i, bool previous);
};
