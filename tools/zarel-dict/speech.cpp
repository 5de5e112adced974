// espeak-ng in synchronous mode: one process-wide instance, a callback that collects the PCM,
// safe text and phoneme input, and the trimming of silence around a word.
#include "zarel-dict/speech.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <unistd.h>

namespace zarel::dicttool {

namespace {

// espeak-ng 1.51 can hang in espeak_ng_Terminate once it has been initialized a second time,
// so the library is initialized once per process and never terminated. A child process made by
// fork() inherits the initialized state and goes on using it: synchronous synthesis needs none
// of the library's threads, which the child does not have.
pid_t s_enginePid = 0; // the process that initialized espeak-ng; 0 before that
int s_sampleRate = 0;
// The process whose Speech is open: a value inherited from the parent process counts as free.
std::atomic<pid_t> s_holder { 0 };

// Where the callback puts the samples of one synthesis.
struct Collector
{
    std::vector<int16_t> *pcm = nullptr;
};

int collectSamples(short *wav, int count, espeak_EVENT *events)
{
    if (events == nullptr || wav == nullptr || count <= 0)
        return 0;
    auto *collector = static_cast<Collector *>(events->user_data);
    if (collector == nullptr || collector->pcm == nullptr)
        return 0;
    std::vector<int16_t> &pcm = *collector->pcm;
    const size_t room = kMaxSpeechSamples - std::min(pcm.size(), kMaxSpeechSamples);
    const size_t n = std::min(room, static_cast<size_t>(count));
    pcm.insert(pcm.end(), wav, wav + n);
    return n < static_cast<size_t>(count) ? 1 : 0; // 1 asks espeak-ng to stop
}

std::string statusText(espeak_ng_STATUS status)
{
    char buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return buffer;
}

Status initializeEngine()
{
    if (s_enginePid != 0)
        return Status::success();
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    if (status != ENS_OK) {
        espeak_ng_ClearErrorContext(&context);
        return Status::failure(ErrorCode::ReadError,
                               "Cannot load the espeak-ng data: " + statusText(status));
    }
    status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    if (status != ENS_OK)
        return Status::failure(ErrorCode::ReadError,
                               "Cannot start espeak-ng synthesis: " + statusText(status));
    espeak_SetSynthCallback(collectSamples);
    s_sampleRate = espeak_ng_GetSampleRate();
    if (s_sampleRate <= 0)
        return Status::failure(ErrorCode::ReadError, "espeak-ng reports no sample rate");
    s_enginePid = ::getpid();
    return Status::success();
}

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one.
size_t utf8Length(std::string_view s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4;
    else
        return 0;
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

bool blankedInText(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '[' || c == ']' || c == '<' || c == '>' || c == '{'
        || c == '}' || c == '\\';
}

} // namespace

Status Speech::open(const SpeechOptions &options, std::unique_ptr<Speech> &out)
{
    out.reset();
    const pid_t self = ::getpid();
    pid_t holder = s_holder.load();
    do {
        if (holder == self)
            return Status::failure(ErrorCode::BadInput, "The speech synthesizer is already in use");
    } while (!s_holder.compare_exchange_weak(holder, self));
    std::unique_ptr<Speech> speech(new Speech);
    // From here the destructor releases the synthesizer again.
    Status st = initializeEngine();
    if (!st.ok())
        return st;
    const espeak_ng_STATUS status = espeak_ng_SetVoiceByName(options.voice.c_str());
    if (status != ENS_OK)
        return Status::failure(ErrorCode::BadInput,
                               "espeak-ng voice \"" + options.voice
                                   + "\" not available: " + statusText(status));
    speech->setRate(options.rate);
    espeak_ng_SetParameter(espeakPUNCTUATION, espeakPUNCT_NONE, 0);
    espeak_ng_SetParameter(espeakCAPITALS, 0, 0);
    speech->m_sampleRate = s_sampleRate;
    out = std::move(speech);
    return Status::success();
}

Speech::~Speech()
{
    s_holder = 0;
}

void Speech::setRate(int wordsPerMinute)
{
    espeak_ng_SetParameter(espeakRATE,
                           std::clamp(wordsPerMinute, espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
}

Status Speech::synthesize(const std::string &input, unsigned flags, std::vector<int16_t> &pcm)
{
    pcm.clear();
    if (input.empty())
        return Status::success();
    Collector collector { &pcm };
    const espeak_ng_STATUS status
        = espeak_ng_Synthesize(input.c_str(), input.size() + 1, 0, POS_CHARACTER, 0,
                               espeakCHARS_UTF8 | flags, nullptr, &collector);
    if (status != ENS_OK) {
        pcm.clear();
        return Status::failure(ErrorCode::BadInput,
                               "espeak-ng cannot speak \"" + input + "\": " + statusText(status));
    }
    trimSilence(pcm, m_sampleRate);
    return Status::success();
}

Status Speech::speakText(std::string_view utf8, std::vector<int16_t> &pcm)
{
    return synthesize(speakableText(utf8), 0, pcm);
}

Status Speech::speakPhonemes(std::string_view mnemonics, std::vector<int16_t> &pcm)
{
    const std::string input = phonemeInput(mnemonics);
    if (input == "[[]]") {
        pcm.clear();
        return Status::success();
    }
    return synthesize(input, espeakPHONEMES, pcm);
}

std::string speakableText(std::string_view utf8)
{
    std::string out;
    bool blank = false;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = utf8Length(utf8, i);
        if (n == 0) {
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (n == 1 && (c == ' ' || blankedInText(c))) {
            blank = !out.empty();
            ++i;
            continue;
        }
        const size_t needed = n + (blank ? 1 : 0);
        if (out.size() + needed > kMaxSpeechInput)
            break;
        if (blank)
            out += ' ';
        blank = false;
        out.append(utf8.substr(i, n));
        i += n;
    }
    return out;
}

std::string phonemeInput(std::string_view mnemonics)
{
    std::string out = "[[";
    for (const char ch : mnemonics) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c > 0x7E || c == '[' || c == ']')
            continue;
        if (out.size() >= kMaxSpeechInput)
            break;
        out += ch;
    }
    return out + "]]";
}

void trimSilence(std::vector<int16_t> &pcm, int sampleRate, int marginMs, int threshold)
{
    const auto loud = [threshold](int16_t s) { return std::abs(static_cast<int>(s)) >= threshold; };
    const auto first = std::find_if(pcm.begin(), pcm.end(), loud);
    if (first == pcm.end()) {
        pcm.clear();
        return;
    }
    const auto last = std::find_if(pcm.rbegin(), pcm.rend(), loud).base();
    const long margin = static_cast<long>(sampleRate) * std::max(marginMs, 0) / 1000;
    const long begin = std::max(0L, static_cast<long>(first - pcm.begin()) - margin);
    const long end
        = std::min(static_cast<long>(pcm.size()), static_cast<long>(last - pcm.begin()) + margin);
    pcm.erase(pcm.begin() + end, pcm.end());
    pcm.erase(pcm.begin(), pcm.begin() + begin);
}

} // namespace zarel::dicttool
