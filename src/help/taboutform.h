// TAboutForm: the "About us" window. A borderless picture with a black panel in which the
// about text scrolls endlessly, up or down, under four small buttons.
#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QShowEvent;
class QTimer;
class QToolButton;

class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 406;
    static constexpr int kHeight = 194;
    static constexpr int kLabelWidth = 160; // the label's width while it scrolls
    static constexpr int kWrapWidth = 32; // the label's design width, at which it is measured
    static constexpr int kScrollLimit = 100; // the end top is this minus the label's height

    // Builds the window; Timer1 runs from here on. The background is "about.jpg" from the
    // current directory (a missing or damaged picture leaves the window plain).
    explicit TAboutForm(QWidget *parent = nullptr);

    // The fourteen paragraphs of the about text, each ended by "\n\r".
    static const QString &aboutText();

    // One tick of Timer1: Label1 moves one pixel in the scroll direction and wraps around at
    // the end top (moving up) or the start top (moving down).
    void Timer1Timer();
    void SpeedButton1Click(); // close, with the result Accepted
    void SpeedButton2Click(); // scroll up, starting the timer when it is stopped
    void SpeedButton3Click(); // stop the timer
    void SpeedButton4Click(); // scroll down, starting the timer when it is stopped

    int direction() const { return m_direction; } // -1 up, 1 down
    int startTop() const { return m_startTop; }
    int endTop() const { return m_endTop; }

    QLabel *Image1; // the background picture
    QFrame *Panel1; // the black panel with the text area and the buttons
    QFrame *Panel2; // the text area
    QFrame *Panel3; // the upper edge strip of the text area
    QFrame *Panel4; // the lower edge strip of the text area
    QLabel *Label1; // the scrolling text
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QTimer *Timer1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    int m_direction = -1;
    int m_startTop = 0;
    int m_endTop = 0;
};
