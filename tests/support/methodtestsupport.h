// Shared set-up of the method-window tests: a small dictionary in both languages with
// pronunciation files, a word list, the main window's MP3 player writing PCM to a file (no sound
// card needed), and helpers for modal windows, glyph pictures and wave files.
#pragma once

#include "apptestenvironment.h"

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QColor>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class MethodTest : public FormTest
{
protected:
    // The dictionary: b (tab 1) book, bookcase; c (tab 2) car, card; r (tab 17) run and the user
    // entry rung; Turkish C (tab 28) cadde, carpmak; Turkish K (tab 38) kitap. Every article is
    // the plain text "<headword>: <meaning>". With `sounds`, book, car, card and run get a tone
    // of `seconds` as their pronunciation (wave/<tab+1>/<number>.mp3); false when the tone
    // could not be made. The main window is started with `config` as its settings.
    bool startDictionary(bool sounds = false, double seconds = 0.3,
                         const std::string &config = "11111");

    // Replaces the word list with the marked entries ("*" at the end: English).
    void setList(const QStringList &marked);

    // Waits until the main window's player has released its library (the sound has ended).
    bool waitForSoundEnd(int milliseconds = 30000);

    // Makes every sound play slowly for about `seconds`, served from memory through the
    // player's stream events, so that a pronunciation is still playing when the test acts.
    void playSlowly(double seconds);

    // Writes a 4 x 4 BMP of one colour (glyphs and answer pictures).
    static void writeBmp(const std::string &path, QColor color);
    // The colour at the centre of a button's or label's picture (invalid when there is none).
    static QColor iconColour(const QIcon &icon);

    std::string m_tone; // the tone MP3 every pronunciation file is a copy of
    std::vector<char> m_slowStream;
    size_t m_slowPosition = 0;
};

// Runs `act` on the first visible top-level window of type W as soon as one is shown (modal
// windows block the caller); `seen` reports that it ran. Gives up after thirty seconds.
template<class W> void whenShown(std::function<void(W *)> act, bool *seen = nullptr)
{
    auto *poll
        = new QTimer(QCoreApplication::instance()); // freed with the application at the latest
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, seen, tries] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<W *>(w); window != nullptr && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                if (seen != nullptr)
                    *seen = true;
                act(window);
                return;
            }
        }
        if (++*tries > 1500) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}
