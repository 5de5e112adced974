// Speech synthesis for the sound data: espeak-ng used in-process in synchronous mode, words
// spoken from their text and transcription symbols from phoneme mnemonics, as 16-bit mono PCM.
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

struct SpeechOptions
{
    std::string voice = "en"; // an espeak-ng voice name
    int rate = 150; // words per minute (espeak-ng accepts 80-450)
};

// Most bytes of text passed to the synthesizer at once; longer input is cut at a character.
inline constexpr size_t kMaxSpeechInput = 256;
// Most samples kept from one synthesis (30 s at 22050 Hz); the rest is dropped.
inline constexpr size_t kMaxSpeechSamples = 30 * 22050;

// The use of espeak-ng. The library keeps global state and is not thread-safe, so at most one
// Speech is open in a process at a time (open() refuses a second) and it is used from one
// thread only. Processes that need parallel synthesis fork and open one each. The library is
// loaded by the first open() of a process and stays loaded until the process ends.
class Speech
{
public:
    // Initializes espeak-ng with its installed data and selects the voice and rate.
    // BadInput when another Speech is open or the voice is unknown, ReadError when the
    // espeak-ng data cannot be loaded; the message carries espeak-ng's own text.
    static Status open(const SpeechOptions &options, std::unique_ptr<Speech> &out);

    ~Speech();
    Speech(const Speech &) = delete;
    Speech &operator=(const Speech &) = delete;

    // The sample rate of the PCM this instance produces (22050 Hz for the installed voices).
    int sampleRate() const { return m_sampleRate; }

    // Changes the speaking rate (words per minute, clamped to 80-450) for later syntheses.
    void setRate(int wordsPerMinute);

    // Speaks `utf8` as plain text: markup is not interpreted, "[[" is not phoneme input and
    // punctuation is not read aloud. `pcm` receives the samples with the leading and trailing
    // silence cut to a short margin; it is empty when there is nothing to speak.
    Status speakText(std::string_view utf8, std::vector<int16_t> &pcm);

    // Speaks espeak-ng phoneme mnemonics (Kirshenbaum style, e.g. "tS" or "aI@"), the same
    // way and with the same trimming.
    Status speakPhonemes(std::string_view mnemonics, std::vector<int16_t> &pcm);

private:
    Speech() = default;
    Status synthesize(const std::string &input, unsigned flags, std::vector<int16_t> &pcm);

    int m_sampleRate = 0;
};

// The text handed to the synthesizer for a headword: control characters and the characters
// that open phoneme or markup input ('[', ']', '<', '>', '{', '}', '\\') become blanks, runs
// of blanks one blank, the ends trimmed, at most kMaxSpeechInput bytes, cut at a whole UTF-8
// character. Bytes that are not UTF-8 are dropped.
std::string speakableText(std::string_view utf8);

// Phoneme input as the synthesizer reads it: "[[" + mnemonics + "]]", with characters that
// would end the phoneme input or are not printable ASCII removed.
std::string phonemeInput(std::string_view mnemonics);

// Cuts silence (samples whose magnitude stays under `threshold`) at both ends down to
// `marginMs` milliseconds. All-silent input becomes empty.
void trimSilence(std::vector<int16_t> &pcm, int sampleRate, int marginMs = 40, int threshold = 200);

} // namespace zarel::dicttool
