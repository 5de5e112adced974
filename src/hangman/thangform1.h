// THangForm1: the hangman window. The player guesses the letters of a word from the word list or
// the dictionary; the game state and the scores outlive the window for the whole run.
#pragma once

#include "hangman/core/hangmanrules.h"
#include "hangman/hangmandrawing.h"
#include "learning/core/duedraw.h"
#include "methods/methodhost.h"

#include <string>

#include <QDialog>

class QAction;
class QFrame;
class QHeaderView;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;

class THangForm1 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 525;
    static constexpr int kDesignHeight = 504;
    static constexpr int kTimerInterval = 300; // ms per step of the leg swing
    static constexpr int kHelpPage = 6; // "metod6.htm", the page after the five methods'

    // Builds the window over `host`, the main window (its word list, dictionary and lookup
    // controls), and runs FormCreate. The caller owns the window; it does not delete itself.
    explicit THangForm1(zarel::methods::MethodHost *host, QWidget *parent = nullptr);
    ~THangForm1() override;

    // The launcher's first game: starts a game on `word` (the first shown entry of the word
    // list) before the window is shown; `turkish` for a Turkish entry, whose letters change
    // case by Turkish casing.
    void startFirstGame(const QString &word, bool turkish = false);

    // The game of the whole run (its scores are never reset).
    static const zarel::hangman::Game &game();
    // Replaces the generator of the random word sources (tests); an empty one restores the
    // system generator.
    static void setRandomSource(zarel::hangman::RandomIndex random);

    const zarel::hangman::HangmanDrawing &drawing() const { return m_drawing; }
    bool wordFromList() const { return m_wordFromList; }

    // --- handlers ---
    void FormCreate();
    void FormShow();
    // A character typed into Edit1, as a code-page-1254 byte.
    void Edit1KeyPress(unsigned char key);
    void Button1Click(); // next word
    void Button2Click(); // give up
    void Button3Click(); // translation
    void Button4Click(); // exit
    void Button5Click(); // help (also F1)
    void RadioButtonClick();
    void Timer1Timer();

    // --- controls ---
    QFrame *Panel1;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *Edit1;
    QFrame *Panel2;
    zarel::hangman::HangmanImage *Image1;
    QFrame *Panel3;
    QLabel *Label4;
    QHeaderView *HeaderControl1;
    QLabel *Label3;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QRadioButton *RadioButton3;
    QRadioButton *RadioButton4;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    QFrame *Panel4;
    QTextEdit *RichEdit1;
    QTimer *Timer1;
    QAction *Action1;

public slots:
    // Any way of closing ends the hangman's hold on the main window (its tag back to 0).
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void setTexts();
    void startGame(const std::string &word, zarel::hangman::Casing casing);
    // Shows the pattern in Label1 as large as it fits (see fitPattern in the source).
    void showPattern();
    void showScore(bool playerWon);
    // Draws the next word from the source of the checked radio button; false when no source
    // has a word of three characters or more.
    bool drawNextWord(std::string &word, zarel::hangman::Casing &casing);
    bool drawListWord(bool random, std::string &word, zarel::hangman::Casing &casing);
    bool drawDictionaryWord(int firstTab, int lastTab, std::string &word);
    // Records the end of the game (won or lost) in the learning history.
    void recordGame(bool won);

    zarel::methods::MethodHost *m_main;
    zarel::hangman::HangmanDrawing m_drawing;
    bool m_wordFromList = false;
    bool m_shown = false;
    zarel::learning::DueFirstDraw m_dueDraw; // list words due for review first, when asked
};
