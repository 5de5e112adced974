// Article documents: bold headword, transcription with its bold symbols, numbered senses with
// italic labels.
#include "zarel-dict/articles.h"

#include "dictionary/codepage1254.h"
#include "rtf/rtfwriter.h"

namespace zarel::dicttool {

namespace {

void addRun(std::vector<rtf::Run> &runs, std::string_view text, bool bold, bool italic)
{
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().format.bold == bold && runs.back().format.italic == italic) {
        runs.back().text += text;
        return;
    }
    rtf::Run run;
    run.text = std::string(text);
    run.format.bold = bold;
    run.format.italic = italic;
    runs.push_back(std::move(run));
}

size_t characterCount(std::string_view utf8)
{
    size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

std::vector<rtf::Run> senseRuns(std::string_view sense)
{
    std::vector<rtf::Run> runs;
    size_t plainStart = 0;
    size_t pos = 0;
    size_t open = 0;
    while ((open = sense.find('(', pos)) != std::string_view::npos) {
        const size_t close = sense.find_first_of("()", open + 1);
        if (close == std::string_view::npos)
            break;
        if (sense[close] == '(') { // nested: the inner group may be a label
            pos = close;
            continue;
        }
        const size_t length = characterCount(sense.substr(open + 1, close - open - 1));
        if (length == 0 || length > kMaxLabelLength) {
            pos = close + 1;
            continue;
        }
        addRun(runs, sense.substr(plainStart, open - plainStart), false, false);
        addRun(runs, sense.substr(open, close + 1 - open), false, true);
        plainStart = close + 1;
        pos = plainStart;
    }
    addRun(runs, sense.substr(plainStart), false, false);
    return runs;
}

rtf::Document articleDocument(std::string_view headword, const Transcription &transcription,
                              const std::vector<std::string> &senses)
{
    rtf::Document doc;
    rtf::Paragraph head;
    addRun(head.runs, cp1254::toUtf8(headword), true, false);
    if (!transcription.empty()) {
        addRun(head.runs, " /", false, false);
        for (const TranscriptionPart &part : transcription)
            addRun(head.runs, part.text, part.bold, false);
        addRun(head.runs, "/", false, false);
    }
    doc.paragraphs.push_back(std::move(head));
    int number = 0;
    for (const std::string &sense : senses) {
        rtf::Paragraph p;
        addRun(p.runs, std::to_string(++number) + ". ", false, false);
        for (rtf::Run &run : senseRuns(sense))
            addRun(p.runs, run.text, run.format.bold, run.format.italic);
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

std::string articleRtf(const rtf::Document &doc)
{
    return rtf::write(doc);
}

} // namespace zarel::dicttool
