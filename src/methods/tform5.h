// TForm5: Method 2, flash cards. The list words follow one another at a chosen speed, pronounced
// when they are English base headwords; the translation button pauses the drill and shows the
// word's article until the user continues.
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

class TForm5 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 399;
    static constexpr int kPanelHeight = 337;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm5(zarel::methods::MethodHost *host, QWidget *parent = nullptr);

    void FormCreate();
    void Button3Click(); // start/stop, one step first
    void Timer1Timer(); // the drill's step: the next word unless a pronunciation plays
    void Timer2Timer(); // blink
    void TrackBar1Change(); // speed: position x 500 ms
    void Button6Click(); // next word
    void Button4Click(); // previous word
    void Button7Click(); // show and pronounce the current word again
    void SpeedButton1Click(); // show / hide the translation
    void SpeedButton2Click(); // help
    void Button1Click(); // exit

    int WordIndex = -1; // the list entry on show; -1 before the first word
    bool TranslationShown = false; // the article is on show and the drill is paused

    QLineEdit *Edit1;
    QLabel *Label4;
    QTextEdit *RichEdit1;
    QToolButton *SpeedButton1;
    QSlider *TrackBar1;
    QLabel *Label1;
    QLabel *Label3; // "+"
    QLabel *Label2; // "-"
    QCheckBox *CheckBox1;
    QProgressBar *PrgBar1;
    QFrame *Strip;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button6;
    QPushButton *Button7;
    QPushButton *Button1;
    QToolButton *SpeedButton2;
    QTimer *Timer1;
    QTimer *Timer2;

private:
    enum class Command { Next, Previous, Pronounce };

    void buildControls();
    void setTexts();
    // The translation button's caption, in the language of the interface's Turkish item.
    void setTranslationCaption(bool shown);
    // Shows list entry i as it stands in the list and pronounces an English base headword when
    // `speak` is set. The article is not loaded.
    void showWord(int i, Command command, bool speak);
};
