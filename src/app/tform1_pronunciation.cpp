// TForm1's pronunciation: the pronounce command, the sound file of a headword, and the end of
// every MP3 played through MPEG1.
#include "app/tform1.h"

#include "app/ttabcontrol.h"

#include "dictionary/lettertabs.h"
#include "dictionary/usersound.h"
#include "platform/fileutil.h"
#include "sound/tmpegplayer.h"

#include <filesystem>

#include <QPushButton>
#include <QToolButton>

std::string TForm1::headwordSoundPath(int tab, int item) const
{
    if (!zarel::isEnglishTab(tab) || item < 0)
        return {};
    const zarel::TabLists &lists = Dictionary.tab(tab);
    const auto at = static_cast<size_t>(item);
    if (at >= lists.entries.size() || at >= lists.soundNumbers.size())
        return {};
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    const zarel::TWordRecord *record = lists.entries[at];
    // A word the user added has no number; its sound is named after its headword, outside the
    // numbered folders, which may be shared read-only data.
    if (!record->isBase()) {
        const std::string relative = zarel::userSoundPath(tab, record->headword());
        return relative.empty() ? std::string() : cwd + "/" + relative;
    }
    // One folder per letter: the numbers restart at 1 for every letter.
    return cwd + "/wave/" + std::to_string(tab + 1) + "/" + lists.soundNumbers[at] + ".mp3";
}

bool TForm1::headwordSoundExists(int tab, int item) const
{
    const std::string path = headwordSoundPath(tab, item);
    return !path.empty() && zarel::fileExists(path);
}

void TForm1::userSoundFinished(int tab, const QByteArray &headword)
{
    // Only the word on show can change a button; any other word waits for its next lookup.
    const int item = Combo->currentIndex();
    if (tab != TabControl1->tabIndex() || item < 0
        || static_cast<size_t>(item) >= Dictionary.tab(tab).entries.size()
        || Dictionary.tab(tab).entries[static_cast<size_t>(item)]->headword()
            != std::string_view(headword.constData(), static_cast<size_t>(headword.size())))
        return;
    updateCommandButtons();
}

bool TForm1::mpegLibraryLoaded() const
{
    return MPEG1->LibraryLoaded();
}

void TForm1::Button7Click()
{
    if (voiceRecordingRunning())
        return; // the microphone would record the word
    stopWavePlayer();
    updateReplayButton();
    const int item = Combo->currentIndex();
    if (item == -1)
        return;
    const std::string path = headwordSoundPath(TabControl1->tabIndex(), item);
    if (path.empty() || !zarel::fileExists(path)) {
        // Nothing to play. A sound that is still playing goes on and its end restores the
        // buttons; naming a new stream would close it without an end. A library loaded for
        // nothing is released, since a loaded library means that a sound is playing and tab
        // changes would otherwise wait for an end that never comes.
        if (MPEG1->LibraryLoaded() && !MPEG1->isPlaying())
            MPEG1->UnloadPlayerLibrary();
        return;
    }
    try {
        stopWavePlayer();
        if (!MPEG1->LibraryLoaded())
            MPEG1->LoadPlayerLibrary();
        MPEG1->setStreamName(path);
        Button7->setEnabled(false);
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(false);
        MPEG1->Open();
        MPEG1->Play();
    } catch (const TMPEGError &) {
        // The sound could not start, so no end will come: give back what the start took.
        PronounceAfterPlay = true;
        mainWindowSoundEnded();
    }
}

void TForm1::MPEG1PlayEnd()
{
    // Each group runs on its own, so a failure in one skips only the rest of that group.
    for (const auto &group : m_playEndGroups) {
        if (!group)
            continue; // that window is not open
        try {
            group();
        } catch (const std::exception &) { }
    }
    mainWindowSoundEnded();
}

void TForm1::mainWindowSoundEnded()
{
    try {
        SpeedButton1->setEnabled(true);
        Panel4->setEnabled(true);
        Panel3->setEnabled(true);
        Button7->setEnabled(true);
        updateReplayButton();
        if (MPEG1->LibraryLoaded())
            MPEG1->UnloadPlayerLibrary();
    } catch (const std::exception &) { }
    Button7->setEnabled(PronounceAfterPlay);
}
