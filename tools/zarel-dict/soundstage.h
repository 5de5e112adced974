// The sound data of an installation: one MP3 per English base headword (wave/<tab+1>/<n>.mp3)
// and the 48 transcription sounds (trans/<n>.mp3), made in parallel worker processes, kept
// between builds while their definition is unchanged.
#pragma once

#include "platform/result.h"
#include "zarel-dict/builder.h"
#include "zarel-dict/ipamap.h"
#include "zarel-dict/mp3encoder.h"
#include "zarel-dict/speech.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// One sound file: where it goes and what it says.
struct SoundJob
{
    std::string path; // relative to the data folder: "wave/1/1.mp3", "trans/48.mp3"
    std::string text; // UTF-8 headword text, or phoneme mnemonics when `phonemes` is set
    bool phonemes = false;
};

// How sounds are made; every setting is part of a sound's definition.
struct SoundSettings
{
    SpeechOptions words { "en", 150 }; // headwords
    int symbolRate = 100; // transcription symbols, slower so vowels are held
    Mp3Options mp3; // inputRate is taken from the synthesizer
};

// "wave/<tab + 1>/<number>.mp3" for an English tab 0-25 and a base-record number from 1.
std::string headwordSoundPath(int tab, int number);
// "trans/<number>.mp3" for a symbol number 1-48.
std::string transcriptionSoundPath(int number);

// The definition of a sound: a 64-bit hash of its text, kind and settings. Equal definitions
// give equal files, so a file whose recorded definition matches is kept.
uint64_t soundDefinition(const SoundJob &job, const SoundSettings &settings);

// One job per base record of the English index files under `folder` (tabs 0-25, in index
// order, numbered from 1 per tab; user records get no sound and take no number). The text is
// the headword converted from code page 1254. FileNotFound or ReadError for a missing or
// unreadable index file.
Status headwordSoundJobs(const std::string &folder, std::vector<SoundJob> &jobs);

// One job per distinct headword of the user records of the English index files under `folder`
// (tabs 0-25), each at its userSoundPath ("usersound/<tab + 1>/<name>.mp3"), so a full build
// gives a sound to every word the user added, also to words added before their sounds were
// made at once. FileNotFound or ReadError as headwordSoundJobs.
Status userSoundJobs(const std::string &folder, std::vector<SoundJob> &jobs);

// Makes the sound of one word the user added to English tab `tab`: speaks `headword` (code
// page 1254) as the build speaks headwords and writes the MP3 to userSoundPath(tab, headword)
// under `folder` (creating its folder) through a temporary file that is flushed to disk and
// renamed into place. BadInput for another tab or an empty headword; otherwise the
// synthesizer's or the writer's error, and then no file of that word is left behind.
Status makeUserSound(const std::string &folder, int tab, std::string_view headword,
                     const SoundSettings &settings = {});

// The transcription sound table (data/transcription_phonemes.tsv) as compiled in.
std::string_view builtinPhonemeTable();

// Reads a transcription sound table: exactly one line per symbol, in sound-number order, each
// "symbol<TAB>phonemes[<TAB>note]" with the symbol of that number; '#' lines and empty lines
// are skipped. BadFormat names the first bad line.
Status loadPhonemeTable(std::string_view tsv,
                        std::array<std::string, kTranscriptionSymbolCount> &phonemes);

// The 48 transcription jobs of a loaded table, trans/1.mp3 to trans/48.mp3.
std::vector<SoundJob>
transcriptionSoundJobs(const std::array<std::string, kTranscriptionSymbolCount> &phonemes);

// The record of made sounds kept in the data folder (kManifestName): path, definition and
// size of every file the last build finished. Unreadable lines are ignored, so a damaged
// record only makes those sounds again.
inline constexpr std::string_view kManifestName = ".zarel-sounds";

struct ManifestEntry
{
    uint64_t definition = 0;
    uint64_t size = 0;
    bool operator==(const ManifestEntry &) const = default;
};
using SoundManifest = std::map<std::string, ManifestEntry>;

SoundManifest parseManifest(std::string_view text);
std::string formatManifest(const SoundManifest &manifest);

struct SoundRunOptions
{
    SoundSettings settings;
    int workers = 2; // worker processes; at most one per sound to make
    std::ostream *progress = nullptr; // progress line (done/total, rate, time left)
    bool progressInPlace = false; // rewrite one line with '\r' (a terminal), else print lines
};

struct SoundReport
{
    size_t planned = 0; // sounds the data should hold
    size_t kept = 0; // left as they were
    size_t made = 0; // synthesized and written
    size_t silent = 0; // of those, written as silence because nothing could be spoken
    size_t removed = 0; // old sound files no headword uses any more
    int workers = 0; // worker processes started
    double seconds = 0;
};

// Brings the sounds under `folder` up to date with `jobs`: keeps a file that exists with the
// size and definition recorded, makes the others in worker processes (each with its own
// synthesizer, since espeak-ng is not thread-safe), removes numbered sound files and leftover
// temporary files in wave/1-26 and trans/ that no job names, flushes the file system, and
// records what was done. A failing or crashing worker stops the others and fails the run
// with its message; the sounds finished so far are recorded and kept by the next run.
Status makeSounds(const std::string &folder, const std::vector<SoundJob> &jobs,
                  const SoundRunOptions &options, SoundReport &report);

// The build stage "sound": headword and transcription sounds for the tree in the output
// folder, with the worker count and progress stream of the build options.
std::unique_ptr<BuildStage> makeSoundStage();

} // namespace zarel::dicttool
