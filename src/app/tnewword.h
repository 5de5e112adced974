// TNewWord: the add-word dialog opened for a word the current letter lacks; stores the word and
// its formatted article as a user entry of the target tab, and has an English word spoken.
#pragma once

#include "dictionary/twordrecord.h"
#include "sound/usersoundmaker.h"

#include <string>

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextCharFormat;
class QTextEdit;

class TNewWord : public QDialog
{
    Q_OBJECT

public:
    // `word` presets the headword and the article's first line; `tab` (0-55) picks the files;
    // `englishInterface` picks the button captions.
    TNewWord(const std::string &programFolder, const QString &word, int tab, bool englishInterface,
             QWidget *parent = nullptr);

    // After a successful save: the stored record (BaseFlag 0) and its tab.
    bool stored() const { return m_stored; }
    const zarel::TWordRecord &storedRecord() const { return m_record; }
    int targetTab() const { return m_tab; }
    // The background job making the spoken sound of a stored English word (it belongs to the
    // dialog's parent window); null when none was started or it has finished.
    UserSoundMaker *soundMaker() const { return m_soundMaker; }

    QLineEdit *Edit1;
    QTextEdit *RichEdit1;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QPushButton *Button1;
    QPushButton *Button2;
    QLabel *MessageLabel; // why a save was refused

    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void Button1Click();
    void Button2Click();

private:
    void showRefusal(const QString &turkish, const QString &english);
    // Sets the three style boxes to the bold, italic and underline of the caret's format.
    void showCaretStyle();
    // Merges `style` into the selection (or the caret's format), back to the editor.
    void applyStyle(const QTextCharFormat &style);

    std::string m_programFolder;
    QString m_word;
    int m_tab;
    bool m_english;
    bool m_stored = false;
    zarel::TWordRecord m_record {};
    QPointer<UserSoundMaker> m_soundMaker;
};
