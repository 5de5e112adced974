// The data builder: collecting both directions from FreeDict, the reverse index, the writer's
// input, and the build stages.
#include "zarel-dict/builder.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "platform/fileutil.h"
#include "rtf/rtfdocument.h"
#include "zarel-dict/articles.h"
#include "zarel-dict/contentstage.h"
#include "zarel-dict/reverseindex.h"
#include "zarel-dict/soundstage.h"
#include "zarel-dict/textrules.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <unordered_map>
#include <unordered_set>

namespace zarel::dicttool {

namespace {

constexpr const char *kNoTab = "no tab for the first character";

// Sense text limited to what code page 1254 can hold, blanks normalized.
std::string cleanText(std::string_view utf8)
{
    return cp1254::toUtf8(normalizeSpaces(toCp1254(utf8).bytes));
}

void addSense(std::vector<std::string> &senses, std::string_view utf8)
{
    std::string sense = cleanText(utf8);
    if (sense.empty() || senses.size() >= kMaxSenses
        || std::find(senses.begin(), senses.end(), sense) != senses.end())
        return;
    senses.push_back(std::move(sense));
}

const char *turkishProblemText(TurkishTabProblem p)
{
    switch (p) {
    case TurkishTabProblem::BeginsWithQ:
        return "begins with Q";
    case TurkishTabProblem::BeginsWithGBreve:
        return "begins with Ğ";
    case TurkishTabProblem::NoTab:
    case TurkishTabProblem::None:
        break;
    }
    return kNoTab;
}

// English keys of the words a Turkish-English sense already names ("fast, quick").
void addNamedWords(std::unordered_set<std::string> &named, std::string_view sense)
{
    const std::string bytes = toCp1254(sense).bytes;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != ',' && bytes[i] != ';')
            continue;
        std::string piece = normalizeSpaces(std::string_view(bytes).substr(start, i - start));
        while (!piece.empty() && piece.back() == '.')
            piece.pop_back();
        if (!piece.empty())
            named.insert(englishSortKey(piece));
        start = i + 1;
    }
}

struct TurkishAccumulator
{
    std::string turkishEnglishSpelling; // the spelling of the Turkish-English entry, if any
    std::map<std::string, int> reverseSpellings; // spellings met in the reverse index
    std::vector<std::string> senses;
    std::vector<std::string> english;
};

std::string reportSkips(const SkipCounts &skipped)
{
    std::string out;
    for (const auto &[reason, count] : skipped)
        out += "  skipped " + std::to_string(count) + ": " + reason + "\n";
    return out;
}

std::string describeCodePoint(char32_t c)
{
    std::string utf8;
    rtf::appendUtf8(utf8, c);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return utf8 + " (" + hex + ")";
}

} // namespace

size_t EnglishSide::headwordCount() const
{
    size_t n = 0;
    for (const auto &tab : tabs)
        n += tab.size();
    return n;
}

size_t TurkishSide::headwordCount() const
{
    size_t n = 0;
    for (const auto &tab : tabs)
        n += tab.size();
    return n;
}

EnglishSide collectEnglish(const std::vector<FreeDictEntry> &entries)
{
    EnglishSide side;
    side.entries = static_cast<int>(entries.size());
    std::array<std::unordered_map<std::string, size_t>, kEnglishTabCount> positions;
    for (const FreeDictEntry &entry : entries) {
        std::string reason;
        const std::optional<std::string> headword = headwordToCp1254(entry.headword, &reason);
        if (!headword) {
            ++side.skipped[reason];
            continue;
        }
        const int tab = englishTabOf(*headword);
        if (tab < 0) {
            ++side.skipped[kNoTab];
            continue;
        }
        auto &list = side.tabs[static_cast<size_t>(tab)];
        const auto [it, added]
            = positions[static_cast<size_t>(tab)].emplace(*headword, list.size());
        if (added) {
            list.push_back({ *headword, entry.ipa, {} });
        } else {
            ++side.merged;
            if (list[it->second].ipa.empty())
                list[it->second].ipa = entry.ipa;
        }
        for (const std::string &sense : entry.senses)
            addSense(list[it->second].senses, sense);
    }
    for (auto &list : side.tabs)
        std::stable_sort(list.begin(), list.end(),
                         [](const EnglishHeadword &a, const EnglishHeadword &b) {
                             return englishLess(a.headword, b.headword);
                         });
    return side;
}

TurkishSide collectTurkish(const std::vector<FreeDictEntry> &turkishEntries,
                           const EnglishSide &english)
{
    TurkishSide side;
    side.entries = static_cast<int>(turkishEntries.size());
    std::unordered_map<std::string, TurkishAccumulator> byKey;

    for (const FreeDictEntry &entry : turkishEntries) {
        std::string reason;
        const std::optional<std::string> headword = headwordToCp1254(entry.headword, &reason);
        if (!headword) {
            ++side.skipped[reason];
            continue;
        }
        TurkishAccumulator &acc = byKey[turkishLower(*headword)];
        if (acc.turkishEnglishSpelling.empty())
            acc.turkishEnglishSpelling = *headword;
        for (const std::string &sense : entry.senses)
            addSense(acc.senses, sense);
    }

    for (const auto &tab : english.tabs) {
        for (const EnglishHeadword &h : tab) {
            for (const std::string &sense : h.senses) {
                for (const std::string &term : turkishTermsOfSense(sense)) {
                    const std::optional<std::string> headword = headwordToCp1254(term);
                    if (!headword)
                        continue; // senses are already limited to the code page
                    ++side.reverseTerms;
                    TurkishAccumulator &acc = byKey[turkishLower(*headword)];
                    ++acc.reverseSpellings[*headword];
                    if (acc.english.empty() || acc.english.back() != h.headword)
                        acc.english.push_back(h.headword);
                }
            }
        }
    }

    for (auto &[key, acc] : byKey) {
        std::string spelling = acc.turkishEnglishSpelling;
        if (spelling.empty()) {
            ++side.fromReverseOnly;
            // The most frequent spelling; among equally frequent ones a lower-case spelling
            // (a common noun written at the start of a sense is capitalized), then the first
            // in byte order.
            int best = 0;
            bool bestLower = false;
            for (const auto &[candidate, count] : acc.reverseSpellings) {
                const bool lower = candidate == key;
                if (count > best || (count == best && lower && !bestLower)) {
                    best = count;
                    bestLower = lower;
                    spelling = candidate;
                }
            }
        }
        TurkishTabProblem problem = TurkishTabProblem::None;
        const int tab = turkishTabOf(spelling, &problem);
        if (tab < 0) {
            if (acc.turkishEnglishSpelling.empty())
                --side.fromReverseOnly;
            ++side.skipped[turkishProblemText(problem)];
            continue;
        }
        std::unordered_set<std::string> named;
        for (const std::string &sense : acc.senses)
            addNamedWords(named, sense);
        std::vector<std::string> equivalents;
        for (std::string &word : acc.english) {
            if (!named.contains(englishSortKey(word)))
                equivalents.push_back(std::move(word));
        }
        std::sort(equivalents.begin(), equivalents.end(),
                  [](const std::string &a, const std::string &b) { return englishLess(a, b); });
        equivalents.erase(std::unique(equivalents.begin(), equivalents.end()), equivalents.end());
        if (equivalents.size() > kMaxEnglishEquivalents) {
            equivalents.resize(kMaxEnglishEquivalents);
            ++side.cappedLists;
        }
        side.tabs[static_cast<size_t>(tab - kEnglishTabCount)].push_back(
            { std::move(spelling), std::move(acc.senses), std::move(equivalents) });
    }
    for (auto &list : side.tabs)
        std::sort(list.begin(), list.end(), [](const TurkishHeadword &a, const TurkishHeadword &b) {
            return turkishLess(a.headword, b.headword);
        });
    return side;
}

std::vector<std::vector<WriterEntry>> makeWriterTabs(const EnglishSide &english,
                                                     const TurkishSide &turkish, const IpaMap &ipa,
                                                     std::map<char32_t, int> *unknownIpa)
{
    std::vector<std::vector<WriterEntry>> tabs(kTabCount);
    for (int t = 0; t < kEnglishTabCount; ++t) {
        auto &out = tabs[static_cast<size_t>(t)];
        out.reserve(english.tabs[static_cast<size_t>(t)].size());
        for (const EnglishHeadword &h : english.tabs[static_cast<size_t>(t)]) {
            const Transcription transcription = ipa.convert(h.ipa, unknownIpa);
            out.push_back({ h.headword,
                            articleRtf(articleDocument(h.headword, transcription, h.senses)), 1 });
        }
    }
    for (int i = 0; i < kTurkishTabCount; ++i) {
        auto &out = tabs[static_cast<size_t>(kEnglishTabCount + i)];
        out.reserve(turkish.tabs[static_cast<size_t>(i)].size());
        for (const TurkishHeadword &h : turkish.tabs[static_cast<size_t>(i)]) {
            std::vector<std::string> senses = h.senses;
            if (!h.english.empty()) {
                std::string list;
                for (const std::string &word : h.english) {
                    if (!list.empty())
                        list += ", ";
                    list += cp1254::toUtf8(word);
                }
                senses.push_back(std::move(list));
            }
            out.push_back({ h.headword, articleRtf(articleDocument(h.headword, {}, senses)), 1 });
        }
    }
    return tabs;
}

// ---- Stages ----

std::string englishSourceStem(const std::string &sourceDir)
{
    return sourceDir + "/freedict-eng-tur";
}

std::string turkishSourceStem(const std::string &sourceDir)
{
    return sourceDir + "/freedict-tur-eng";
}

namespace {

Status requireSource(const std::string &stem)
{
    if (!fileExists(stem + ".index"))
        return Status::failure(ErrorCode::FileNotFound, "Source file not found", stem + ".index");
    if (!fileExists(stem + ".dict.dz") && !fileExists(stem + ".dict"))
        return Status::failure(ErrorCode::FileNotFound, "Source file not found", stem + ".dict.dz");
    return Status::success();
}

// Reads FreeDict, builds both directions and writes the 56 tabs.
class DictionaryStage : public BuildStage
{
public:
    std::string name() const override { return "dictionary"; }
    std::string summary() const override
    {
        return "index and article files of all 56 letter tabs (eg/, tr/)";
    }

    Status run(BuildContext &context) override
    {
        const BuildOptions &options = context.options;
        std::ostream &log = context.log;
        Status st = requireSource(englishSourceStem(options.sourceDir));
        if (st.ok())
            st = requireSource(turkishSourceStem(options.sourceDir));
        IpaMap ipa;
        if (st.ok())
            st = IpaMap::load(IpaMap::builtinTable(), ipa);
        if (!st.ok())
            return st;

        std::vector<FreeDictEntry> englishEntries;
        std::vector<FreeDictEntry> turkishEntries;
        DictdStats englishStats;
        DictdStats turkishStats;
        st = readDictd(englishSourceStem(options.sourceDir), englishEntries, &englishStats);
        if (st.ok())
            st = readDictd(turkishSourceStem(options.sourceDir), turkishEntries, &turkishStats);
        if (!st.ok())
            return st;

        context.english = collectEnglish(englishEntries);
        context.turkish = collectTurkish(turkishEntries, context.english);
        std::map<char32_t, int> unknownIpa;
        const auto tabs = makeWriterTabs(context.english, context.turkish, ipa, &unknownIpa);

        std::error_code ec;
        std::filesystem::create_directories(options.outDir, ec);
        if (ec)
            return Status::failure(ErrorCode::WriteError, ec.message(), options.outDir);
        // Words the user added live in the same index files: the rebuild carries them over.
        std::vector<size_t> carried;
        st = rebuildDictionary(options.outDir, tabs, WriterOptions { options.compress }, &carried);
        if (!st.ok())
            return st;

        const EnglishSide &en = context.english;
        const TurkishSide &tr = context.turkish;
        log << "English-Turkish: " << en.entries << " entries read";
        if (englishStats.badLines > 0)
            log << " (" << englishStats.badLines << " bad index lines ignored)";
        log << "\n  " << en.headwordCount() << " English headwords written, " << en.merged
            << " repeated entries merged into their headword\n"
            << reportSkips(en.skipped);
        if (!unknownIpa.empty()) {
            log << "  IPA characters without a mapping (left out):";
            for (const auto &[c, count] : unknownIpa)
                log << " " << describeCodePoint(c) << " x" << count;
            log << "\n";
        }
        log << "Turkish-English: " << tr.entries << " entries read";
        if (turkishStats.badLines > 0)
            log << " (" << turkishStats.badLines << " bad index lines ignored)";
        log << ", " << tr.reverseTerms << " Turkish terms taken from English-Turkish senses\n  "
            << tr.headwordCount() << " Turkish headwords written (" << tr.fromReverseOnly
            << " from the reverse index only)\n"
            << reportSkips(tr.skipped);
        if (tr.cappedLists > 0)
            log << "  " << tr.cappedLists << " English lists cut to " << kMaxEnglishEquivalents
                << " words\n";
        log << "Article files " << (options.compress ? "SZDD-compressed" : "plain") << " in "
            << options.outDir << "\n";
        size_t userRecords = 0;
        int userTabs = 0;
        for (const size_t n : carried) {
            userRecords += n;
            userTabs += n > 0 ? 1 : 0;
        }
        log << "Words added by the user kept: " << userRecords << " in " << userTabs
            << (userTabs == 1 ? " tab" : " tabs") << " (user article files left as they were)\n";
        return Status::success();
    }
};

} // namespace

std::vector<std::unique_ptr<BuildStage>> makeStages()
{
    std::vector<std::unique_ptr<BuildStage>> stages;
    stages.push_back(std::make_unique<DictionaryStage>());
    stages.push_back(makeSoundStage());
    // Last, so the drawing of the pictures never runs while sound workers are forked.
    stages.push_back(makeContentStage());
    return stages;
}

Status runBuild(const BuildOptions &options, std::ostream &log)
{
    std::vector<std::unique_ptr<BuildStage>> stages = makeStages();
    for (const auto *names : { &options.stages, &options.skippedStages }) {
        for (const std::string &wanted : *names) {
            if (std::none_of(stages.begin(), stages.end(),
                             [&wanted](const auto &s) { return s->name() == wanted; }))
                return Status::failure(ErrorCode::BadInput,
                                       "Unknown build stage \"" + wanted + "\"");
        }
    }
    if (options.outDir.empty())
        return Status::failure(ErrorCode::BadInput, "No output folder given");

    Status st;
    BuildContext context { options, log, {}, {} };
    const auto started = std::chrono::steady_clock::now();
    for (const auto &stage : stages) {
        if (!options.stages.empty()
            && std::find(options.stages.begin(), options.stages.end(), stage->name())
                == options.stages.end())
            continue;
        if (std::find(options.skippedStages.begin(), options.skippedStages.end(), stage->name())
            != options.skippedStages.end())
            continue;
        const auto stageStart = std::chrono::steady_clock::now();
        st = stage->run(context);
        if (!st.ok())
            return st;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - stageStart;
        log << "Stage " << stage->name() << ": " << std::fixed << std::setprecision(1)
            << took.count() << " s\n";
    }
    const std::chrono::duration<double> total = std::chrono::steady_clock::now() - started;
    log << "Build finished in " << std::fixed << std::setprecision(1) << total.count() << " s\n";
    return Status::success();
}

} // namespace zarel::dicttool
