// The content stage: help pages, the two key documents, pictures and feedback sounds; and the
// usage-label check.
#include "zarel-dict/contentstage.h"

#include "zarel-dict/tablelines.h"

#include "platform/fileutil.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "zarel-dict/articles.h"
#include "zarel-dict/contentmedia.h"
#include "zarel-dict/ipamap.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace zarel::dicttool {

namespace {

constexpr std::string_view kTranscriptionTable = "rtf/trans_lines.tsv";
constexpr std::string_view kAbbreviationTable = "rtf/abbreviations.tsv";
// Most missing labels named in the build log.
constexpr size_t kMaxReportedLabels = 40;

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(trimBlanks(line.substr(start, tab - start)));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// Calls `take(lineNumber, fields)` for every line that holds more than blanks and is not a
// comment; stops at the first failure.
template<typename Take> Status forEachTableRow(std::string_view tsv, Take take)
{
    return forEachTableLine(tsv, [&take](int number, std::string_view raw) {
        const std::string_view line = trimBlanks(raw);
        if (line.empty() || line.front() == '#')
            return Status::success();
        return take(number, splitTabs(line));
    });
}

Status badLine(int number, const std::string &what)
{
    return Status::failure(ErrorCode::BadFormat,
                           "Line " + std::to_string(number) + " of the table: " + what);
}

void addRun(rtf::Paragraph &p, std::string_view text, bool bold, bool italic = false)
{
    if (text.empty())
        return;
    if (!p.runs.empty() && p.runs.back().format.bold == bold
        && p.runs.back().format.italic == italic) {
        p.runs.back().text += text;
        return;
    }
    rtf::Run run;
    run.text = std::string(text);
    run.format.bold = bold;
    run.format.italic = italic;
    p.runs.push_back(std::move(run));
}

void addMarkup(rtf::Paragraph &p, std::string_view markup)
{
    for (const TranscriptionPart &part : parseMarkup(markup))
        addRun(p, part.text, part.bold);
}

bool isLetter(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    // Latin letters with accents and the Turkish letters; not the signs of Latin-1 or the
    // punctuation of U+2000 and up.
    return c >= 0xC0 && c != 0xD7 && c != 0xF7 && c < 0x2000;
}

size_t characterCount(std::string_view utf8)
{
    size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Calls `found(inner)` for every innermost parenthesized text of at most kMaxLabelLength
// characters, blanks trimmed.
template<typename Found> void forEachParenthesized(std::string_view text, Found found)
{
    size_t pos = 0;
    size_t open = 0;
    while ((open = text.find('(', pos)) != std::string_view::npos) {
        const size_t close = text.find_first_of("()", open + 1);
        if (close == std::string_view::npos)
            return;
        if (text[close] == '(') {
            pos = close;
            continue;
        }
        pos = close + 1;
        const std::string_view raw = text.substr(open + 1, close - open - 1);
        const size_t length = characterCount(raw);
        const std::string_view inner = trimBlanks(raw);
        if (length <= kMaxLabelLength && !inner.empty())
            found(inner);
    }
}

void addOnce(std::vector<std::string> &list, std::string_view item)
{
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.emplace_back(item);
}

class ContentStage : public BuildStage
{
public:
    std::string name() const override { return "content"; }
    std::string summary() const override
    {
        return "help pages (hlp/), transcription and abbreviation keys (rtf/), pictures and "
               "feedback sounds";
    }

    Status run(BuildContext &context) override
    {
        const Status st = writeContent(context.options.outDir, context.log);
        if (st.ok())
            reportMissingLabels(context);
        return st;
    }

private:
    // A build that also collected the dictionary names the labels its articles will use but
    // the key lacks, so the table can be completed before `zarel-dict check` complains.
    static void reportMissingLabels(BuildContext &context)
    {
        const LabelSet &key = builtinLabelKey();
        std::map<std::string, int> missing;
        const auto scan = [&](const std::vector<std::string> &senses) {
            for (const std::string &sense : senses)
                for (const std::string &label : missingLabels(sense, key))
                    ++missing[label];
        };
        for (const auto &tab : context.english.tabs)
            for (const EnglishHeadword &h : tab)
                scan(h.senses);
        for (const auto &tab : context.turkish.tabs)
            for (const TurkishHeadword &h : tab)
                scan(h.senses);
        if (missing.empty())
            return;
        context.log << "  " << missing.size()
                    << " usage labels are missing from the abbreviation key:";
        size_t listed = 0;
        for (const auto &[label, count] : missing) {
            if (++listed > kMaxReportedLabels) {
                context.log << " ...";
                break;
            }
            context.log << " (" << label << ") x" << count;
        }
        context.log << "\n";
    }
};

} // namespace

std::string_view embeddedContent(std::string_view path)
{
    for (const EmbeddedFile &file : embeddedContentFiles())
        if (file.path == path)
            return file.bytes;
    return {};
}

Status loadTranscriptionKey(std::string_view tsv, std::vector<TranscriptionKeyLine> &lines)
{
    lines.clear();
    const auto &symbols = transcriptionSymbols();
    Status st = forEachTableRow(tsv, [&](int number, const std::vector<std::string_view> &f) {
        if (f.size() != 6)
            return badLine(number, "expected 6 fields, found " + std::to_string(f.size()));
        if (std::any_of(f.begin(), f.end(), [](std::string_view s) { return s.empty(); }))
            return badLine(number, "empty field");
        if (lines.size() >= symbols.size())
            return badLine(number, "more than " + std::to_string(symbols.size()) + " symbols");
        if (f[0] != symbols[lines.size()])
            return badLine(number,
                           "symbol " + std::string(f[0]) + " where sound "
                               + std::to_string(lines.size() + 1) + " is "
                               + std::string(symbols[lines.size()]));
        lines.push_back({ std::string(f[0]), std::string(f[1]), std::string(f[2]),
                          std::string(f[3]), std::string(f[4]), std::string(f[5]) });
        return Status::success();
    });
    if (st.ok() && lines.size() != symbols.size())
        st = Status::failure(ErrorCode::BadFormat,
                             "The transcription key has " + std::to_string(lines.size())
                                 + " symbols instead of " + std::to_string(symbols.size()));
    if (!st.ok())
        lines.clear();
    return st;
}

rtf::Document transcriptionKeyDocument(const std::vector<TranscriptionKeyLine> &lines)
{
    rtf::Document doc;
    for (const TranscriptionKeyLine &line : lines) {
        rtf::Paragraph p;
        addMarkup(p, line.symbol);
        addRun(p, "\t" + line.firstWord + " /", false);
        addMarkup(p, line.firstTranscription);
        addRun(p, "/, " + line.secondWord + " /", false);
        addMarkup(p, line.secondTranscription);
        addRun(p, "/ \u2013 " + line.explanation, false);
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

Status loadAbbreviationKey(std::string_view tsv, std::vector<Abbreviation> &entries)
{
    entries.clear();
    LabelSet seen;
    const Status st = forEachTableRow(tsv, [&](int number, const std::vector<std::string_view> &f) {
        if (f.size() != 3)
            return badLine(number, "expected 3 fields, found " + std::to_string(f.size()));
        if (f[0].empty() || f[1].empty() || f[2].empty())
            return badLine(number, "empty field");
        if (characterCount(f[0]) > kMaxLabelLength || f[0].find_first_of("()") != f[0].npos)
            return badLine(number, "label \"" + std::string(f[0]) + "\" is not a usage label");
        if (!seen.emplace(f[0]).second)
            return badLine(number, "label \"" + std::string(f[0]) + "\" listed twice");
        entries.push_back({ std::string(f[0]), std::string(f[1]), std::string(f[2]) });
        return Status::success();
    });
    if (!st.ok())
        entries.clear();
    return st;
}

rtf::Document abbreviationKeyDocument(const std::vector<Abbreviation> &entries)
{
    rtf::Document doc;
    rtf::Paragraph title;
    addRun(title, "Kısaltmalar - Abbreviations", true);
    title.runs.back().format.halfPoints = 32;
    doc.paragraphs.push_back(std::move(title));
    rtf::Paragraph note;
    addRun(note,
           "Sözlük maddelerindeki kısaltmalar ve etiketler, Türkçe anlamları ve İngilizceleriyle. "
           "The labels of the dictionary's articles with their meaning in Turkish and English.",
           false, true);
    doc.paragraphs.push_back(std::move(note));
    doc.paragraphs.emplace_back();
    for (const Abbreviation &entry : entries) {
        rtf::Paragraph p;
        addRun(p, "(" + entry.label + ")", true);
        addRun(p, "\t" + entry.turkish + " \u2013 ", false);
        addRun(p, entry.english, false, true);
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

LabelSet labelsOf(const std::vector<Abbreviation> &entries)
{
    LabelSet labels;
    for (const Abbreviation &entry : entries)
        labels.insert(entry.label);
    return labels;
}

LabelSet labelsOfKeyDocument(const rtf::Document &doc)
{
    LabelSet labels;
    for (const rtf::Paragraph &p : doc.paragraphs) {
        if (p.runs.empty() || !p.runs.front().format.bold)
            continue;
        const std::string_view text = p.runs.front().text;
        if (text.size() > 2 && text.front() == '(' && text.back() == ')')
            labels.emplace(trimBlanks(text.substr(1, text.size() - 2)));
    }
    return labels;
}

const LabelSet &builtinLabelKey()
{
    static const LabelSet key = [] {
        std::vector<Abbreviation> entries;
        (void)loadAbbreviationKey(embeddedContent(kAbbreviationTable), entries);
        return labelsOf(entries);
    }();
    return key;
}

LabelSet installedLabelKey(const std::string &programFolder)
{
    const std::string path = programFolder + "/rtf/eng.rtf";
    if (!fileExists(path))
        return builtinLabelKey();
    std::string bytes;
    if (!readWholeFile(path, bytes).ok())
        return {};
    return labelsOfKeyDocument(rtf::parse(bytes));
}

bool isAbbreviationLabel(std::string_view inner)
{
    size_t pos = 0;
    bool any = false;
    while (pos < inner.size()) {
        int letters = 0;
        while (pos < inner.size()) {
            size_t next = pos;
            if (!isLetter(rtf::nextUtf8(inner, next)))
                break;
            pos = next;
            ++letters;
        }
        if (letters < 1 || letters > 8 || pos >= inner.size() || inner[pos] != '.')
            return false;
        ++pos;
        any = true;
        if (pos < inner.size() && inner[pos] == ' ')
            ++pos;
    }
    return any && inner.back() != ' ';
}

std::vector<std::string> articleLabels(std::string_view text, const LabelSet &key)
{
    std::vector<std::string> labels;
    forEachParenthesized(text, [&](std::string_view inner) {
        if (isAbbreviationLabel(inner) || key.contains(inner))
            addOnce(labels, inner);
    });
    return labels;
}

std::vector<std::string> missingLabels(std::string_view text, const LabelSet &key)
{
    std::vector<std::string> labels;
    forEachParenthesized(text, [&](std::string_view inner) {
        if (isAbbreviationLabel(inner) && !key.contains(inner))
            addOnce(labels, inner);
    });
    return labels;
}

Status writeContent(const std::string &folder, std::ostream &log)
{
    std::vector<TranscriptionKeyLine> transcription;
    Status st = loadTranscriptionKey(embeddedContent(kTranscriptionTable), transcription);
    if (!st.ok())
        return st;
    std::vector<Abbreviation> abbreviations;
    st = loadAbbreviationKey(embeddedContent(kAbbreviationTable), abbreviations);
    if (!st.ok())
        return st;

    std::vector<MediaFile> files;
    int helpPages = 0;
    for (const EmbeddedFile &file : embeddedContentFiles()) {
        if (file.path.starts_with("hlp/")) {
            files.push_back({ std::string(file.path), std::string(file.bytes) });
            ++helpPages;
        }
    }
    files.push_back({ "rtf/trans.rtf", rtf::write(transcriptionKeyDocument(transcription)) });
    files.push_back({ "rtf/eng.rtf", rtf::write(abbreviationKeyDocument(abbreviations)) });
    const size_t beforePictures = files.size();
    st = makePictures(files);
    if (!st.ok())
        return st;
    const size_t pictures = files.size() - beforePictures;
    for (MediaFile &sound : feedbackSounds())
        files.push_back(std::move(sound));

    for (const MediaFile &file : files) {
        const std::filesystem::path path = std::filesystem::path(folder) / file.name;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec)
            return Status::failure(ErrorCode::WriteError, ec.message(),
                                   path.parent_path().string());
        st = writeFileAtomic(path.string(), file.bytes);
        if (!st.ok())
            return st;
    }
    log << "  " << helpPages << " help files, " << transcription.size()
        << " transcription key lines, " << abbreviations.size() << " abbreviations, " << pictures
        << " pictures, 2 feedback sounds written\n";
    return Status::success();
}

std::unique_ptr<BuildStage> makeContentStage()
{
    return std::make_unique<ContentStage>();
}

} // namespace zarel::dicttool
