// UserSoundMaker: makes the spoken sound of a word the user added, in the background, by running
// the data builder's "speak" command for that one word, so the program itself never loads the
// synthesizer or the encoder.
#pragma once

#include <string>

#include <QByteArray>
#include <QObject>
#include <QString>

class QProcess;

class UserSoundMaker : public QObject
{
    Q_OBJECT

public:
    // Starts making the sound of `headword` (code page 1254 bytes) of English tab `tab` under
    // the data folder `folder` (zarel::userSoundPath). The maker is a child of `owner`, reports
    // through `finished` and then deletes itself. When `owner` has an invokable
    // userSoundFinished(int, QByteArray), that is called after `finished`, so a window learns
    // of the sound without knowing the maker. Returns nullptr, having started nothing, for a
    // tab other than 0-25, an empty headword, or when no data builder is found.
    static UserSoundMaker *start(const std::string &folder, int tab, const std::string &headword,
                                 QObject *owner);

    // The data builder that is run: the one set by setBuilderProgram, else the first executable
    // "zarel-dict" next to the program, in the installed program folder, in the build tree, or
    // on PATH. Empty when there is none.
    static QString builderProgram();
    // Names the data builder to run (tests); an empty path goes back to the search.
    static void setBuilderProgram(const QString &path);

    // A builder still running when the owner goes (the program closes) gets a moment to finish
    // the one word it is speaking; then it is stopped, leaving no file of that word.
    ~UserSoundMaker() override;

signals:
    // `made`: the sound file is in place; otherwise nothing was written.
    void finished(int tab, const QByteArray &headword, bool made);

private:
    UserSoundMaker(int tab, const QByteArray &headword, std::string path, QObject *owner);
    void report(bool made);

    int m_tab;
    QByteArray m_headword;
    std::string m_path; // the sound file the builder writes
    QProcess *m_process = nullptr;
    bool m_reported = false;
};
