// Tests of the speech synthesis for the sound data: real espeak-ng output for words and
// phonemes, safe handling of odd headwords, and the text, phoneme and silence helpers.
#include "zarel-dict/speech.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

double secondsOf(const std::vector<int16_t> &pcm, int rate)
{
    return static_cast<double>(pcm.size()) / rate;
}

int peakOf(const std::vector<int16_t> &pcm)
{
    int peak = 0;
    for (const int16_t s : pcm)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

class SpeechTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Status st = Speech::open({}, m_speech);
        ASSERT_TRUE(st.ok()) << st.message;
        m_rate = m_speech->sampleRate();
    }

    std::vector<int16_t> text(const std::string &utf8)
    {
        std::vector<int16_t> pcm;
        const Status st = m_speech->speakText(utf8, pcm);
        EXPECT_TRUE(st.ok()) << utf8 << ": " << st.message;
        return pcm;
    }

    std::unique_ptr<Speech> m_speech;
    int m_rate = 0;
};

TEST_F(SpeechTest, SpeaksAWordAsAudibleSpeechOfPlausibleLength)
{
    EXPECT_EQ(m_rate, 22050);
    const std::vector<int16_t> pcm = text("dictionary");
    EXPECT_GT(secondsOf(pcm, m_rate), 0.4);
    EXPECT_LT(secondsOf(pcm, m_rate), 2.0);
    EXPECT_GT(peakOf(pcm), 3000);
    // The silence around the word is cut to a short margin.
    const size_t margin = static_cast<size_t>(m_rate) * 60 / 1000;
    EXPECT_LT(peakOf({ pcm.begin(), pcm.begin() + 20 }), 200);
    EXPECT_GT(peakOf({ pcm.begin(), pcm.begin() + margin }), 200);
    EXPECT_GT(peakOf({ pcm.end() - margin, pcm.end() }), 200);
    // Longer words take longer.
    EXPECT_GT(pcm.size(), text("cat").size());
}

TEST_F(SpeechTest, SpeaksOddHeadwordsAsTextOnly)
{
    for (const char *word : { "(anat.)", "a.m.", "à la mode", "Çağ", "3-D", "it's", "<b>x</b>",
                              "\x01tab\tand\nnewline", "&amp;" }) {
        const std::vector<int16_t> pcm = text(word);
        EXPECT_FALSE(pcm.empty()) << word;
        EXPECT_LT(secondsOf(pcm, m_rate), 3.0) << word;
    }
    // Punctuation is not read aloud: the parentheses and the dot add no words.
    EXPECT_LT(text("(anat.)").size(), text("anat").size() * 13 / 10);
    // Brackets are not phoneme input: "[[h@'loU]]" is spoken as characters, much longer than
    // the word those phonemes make.
    std::vector<int16_t> hello;
    ASSERT_TRUE(m_speech->speakPhonemes("h@'loU", hello).ok());
    ASSERT_FALSE(hello.empty());
    EXPECT_GT(text("[[h@'loU]]").size(), hello.size() * 3 / 2);
}

TEST_F(SpeechTest, NothingToSpeakGivesEmptyPcm)
{
    for (const char *word : { "", "   ", "...", "()", "\x01\x02" })
        EXPECT_TRUE(text(word).empty()) << "\"" << word << "\"";
    std::vector<int16_t> pcm { 1, 2, 3 };
    ASSERT_TRUE(m_speech->speakPhonemes("[]", pcm).ok());
    EXPECT_TRUE(pcm.empty());
}

TEST_F(SpeechTest, SpeaksPhonemesAndHoldsThemLongerWhenSlower)
{
    std::vector<int16_t> fast;
    ASSERT_TRUE(m_speech->speakPhonemes("'i:", fast).ok());
    EXPECT_GT(peakOf(fast), 2000);
    m_speech->setRate(90);
    std::vector<int16_t> slow;
    ASSERT_TRUE(m_speech->speakPhonemes("'i:", slow).ok());
    EXPECT_GT(slow.size(), fast.size() * 5 / 4);
}

TEST(Speech, OneInstanceAtATime)
{
    std::unique_ptr<Speech> first;
    ASSERT_TRUE(Speech::open({}, first).ok());
    std::unique_ptr<Speech> second;
    const Status st = Speech::open({}, second);
    EXPECT_EQ(st.code, ErrorCode::BadInput);
    EXPECT_FALSE(second);
    first.reset();
    EXPECT_TRUE(Speech::open({}, second).ok());
}

TEST(Speech, UnknownVoiceIsRefusedAndReleasesTheSynthesizer)
{
    std::unique_ptr<Speech> speech;
    const Status st = Speech::open({ "no-such-voice-xx", 150 }, speech);
    EXPECT_EQ(st.code, ErrorCode::BadInput);
    EXPECT_NE(st.message.find("no-such-voice-xx"), std::string::npos) << st.message;
    EXPECT_FALSE(speech);
    ASSERT_TRUE(Speech::open({ "en-us", 150 }, speech).ok());
    std::vector<int16_t> pcm;
    ASSERT_TRUE(speech->speakText("yes", pcm).ok());
    EXPECT_FALSE(pcm.empty());
}

TEST(SpeakableText, BlanksMarkupAndControlsAndCapsTheLength)
{
    const struct
    {
        std::string in;
        std::string out;
    } cases[] = {
        { "apple", "apple" },       { "  a   la  carte ", "a la carte" },
        { "(anat.)", "(anat.)" }, // punctuation stays; the synthesizer does not read it
        { "[[h@'loU]]", "h@'loU" }, { "<speak>x</speak>", "speak x /speak" },
        { "a{b}c\\d", "a b c d" },  { "tab\there\r\nend\x7f", "tab here end" },
        { "café \xC3", "café" }, // a cut UTF-8 sequence is dropped
        { "\xFF\xFEok", "ok" },     { std::string(300, 'x'), std::string(kMaxSpeechInput, 'x') },
    };
    for (const auto &c : cases)
        EXPECT_EQ(speakableText(c.in), c.out) << c.in;

    std::string turkish;
    for (int i = 0; i < 200; ++i)
        turkish += "ş";
    const std::string capped = speakableText(turkish);
    EXPECT_EQ(capped.size(), kMaxSpeechInput); // 128 whole two-byte characters
    EXPECT_EQ(capped.substr(0, 2), "ş");
    EXPECT_EQ(capped.substr(capped.size() - 2), "ş");
    EXPECT_EQ(speakableText(std::string(255, 'x') + "ş").size(), 255u);
}

TEST(PhonemeInput, WrapsMnemonicsAndDropsWhatWouldEndThem)
{
    EXPECT_EQ(phonemeInput("tS@"), "[[tS@]]");
    EXPECT_EQ(phonemeInput("a]]b[[c"), "[[abc]]");
    EXPECT_EQ(phonemeInput("x\ny\xC3\xA7"), "[[xy]]");
    EXPECT_EQ(phonemeInput(""), "[[]]");
    EXPECT_EQ(phonemeInput(std::string(1000, 'a')).size(), kMaxSpeechInput + 2);
}

TEST(TrimSilence, CutsQuietEndsToTheMargin)
{
    constexpr int rate = 1000; // one sample per millisecond keeps the numbers readable
    const auto signal = [](size_t before, size_t loud, size_t after, int16_t quiet = 0) {
        std::vector<int16_t> pcm(before, quiet);
        pcm.insert(pcm.end(), loud, 5000);
        pcm.insert(pcm.end(), after, quiet);
        return pcm;
    };
    struct Case
    {
        const char *name;
        std::vector<int16_t> in;
        size_t size;
    };
    const Case cases[] = {
        { "long silence both sides", signal(500, 100, 700), 40 + 100 + 40 },
        { "short silence kept", signal(10, 100, 20), 10 + 100 + 20 },
        { "no silence", signal(0, 100, 0), 100 },
        { "noise under the threshold is silence", signal(300, 50, 300, 150), 40 + 50 + 40 },
        { "all silent", signal(300, 0, 0, 100), 0 },
        { "empty", {}, 0 },
    };
    for (const Case &c : cases) {
        std::vector<int16_t> pcm = c.in;
        trimSilence(pcm, rate, 40, 200);
        EXPECT_EQ(pcm.size(), c.size) << c.name;
    }
    std::vector<int16_t> pcm = signal(500, 1, 500);
    pcm[500] = -6000; // a negative peak counts as sound too
    trimSilence(pcm, rate, 40, 200);
    ASSERT_EQ(pcm.size(), 81u);
    EXPECT_EQ(pcm[40], -6000);
}

} // namespace
