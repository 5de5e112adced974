// TForm2: Method 5, dictation. The current list word (the selection of the main window's list) is
// pronounced without being shown, and the user types what was heard.
#pragma once

#include "methods/methodsupport.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

class TForm2 : public TMethodForm
{
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 371;
    static constexpr int kPanelHeight = 227;

    // Builds the window and runs FormCreate; show it with exec().
    explicit TForm2(zarel::methods::MethodHost *host, QWidget *parent = nullptr);

    void FormCreate();
    void Button9Click(); // start/stop
    void Button3Click(); // pronounce the current word
    void Button8Click(); // next word (Button4 too)
    void Button7Click(); // previous word
    void Button1Click(); // show the word
    void Button2Click(); // check the answer (also Enter in Edit1)
    void CheckBox1Click();
    void Timer1Timer(); // blink
    void Button6Click(); // help
    void Button5Click(); // exit

    // The English headword located for the current word; empty when none was located.
    QString AnswerWord;

    QCheckBox *CheckBox1; // random word order
    QLineEdit *Edit1;
    QLabel *Image1; // the right/wrong picture
    QLabel *Label1; // says that the list holds no English word
    QToolButton *Button3;
    QToolButton *Button2;
    QToolButton *Button1;
    QProgressBar *PrgBar1;
    QToolButton *Button4;
    QToolButton *Button6;
    QFrame *Strip;
    QPushButton *Button9;
    QPushButton *Button7;
    QPushButton *Button8;
    QPushButton *Button5;
    QTimer *Timer1;

private:
    void buildControls();
    void setTexts();
    // True when an English headword begins with list entry i: the entry can be dictated.
    bool canDictate(int i) const;
    // The first entry from `from` on, stepping by `step` (+1 or -1, wrapping), that can be
    // dictated; -1 when none of the list's entries can.
    int dictationEntry(int from, int step) const;
    // Makes entry i the current word (-1: none can be dictated) and pronounces it.
    void goTo(int i);
};
