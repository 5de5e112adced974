// TAboutProgForm: the "About the program" window. A borderless picture with a three-line text
// in a bevelled frame and a close button.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QShowEvent;
class QToolButton;

class TAboutProgForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 406;
    static constexpr int kHeight = 194;

    // Builds the window with "aboutprog.jpg" from the current directory as its background (a
    // missing or damaged picture leaves it plain).
    explicit TAboutProgForm(QWidget *parent = nullptr);

    // The three lines: the program and its version, its makers and years, the web address of
    // its data.
    static QString programText();

    void SpeedButton1Click(); // close, with the result Accepted

    QLabel *Image1;
    QFrame *Bevel1;
    QLabel *Label1;
    QToolButton *SpeedButton1;

protected:
    void showEvent(QShowEvent *event) override;
};
