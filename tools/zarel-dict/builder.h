// The data builder: FreeDict entries to the program's 56 letter tabs (English-Turkish tabs
// 0-25, Turkish-English tabs 26-55 with the reverse index), and the build stages that write an
// installation's files (the sound stage is in soundstage.h).
#pragma once

#include "dictionary/dictionarywriter.h"
#include "platform/result.h"
#include "zarel-dict/freedict.h"
#include "zarel-dict/ipamap.h"

#include <array>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace zarel::dicttool {

// Reasons for leaving a headword out, with their counts.
using SkipCounts = std::map<std::string, int>;

struct EnglishHeadword
{
    std::string headword; // code page 1254, as the index spells it
    std::string ipa; // UTF-8; the first IPA among the merged entries
    std::vector<std::string> senses; // UTF-8 limited to code page 1254, without repeats
};

struct TurkishHeadword
{
    std::string headword; // code page 1254
    std::vector<std::string> senses; // UTF-8 limited to code page 1254 (Turkish-English entries)
    std::vector<std::string> english; // code page 1254: English headwords of the reverse index
};

struct EnglishSide
{
    std::array<std::vector<EnglishHeadword>, 26> tabs; // each in English dictionary order
    int entries = 0; // source entries read
    int merged = 0; // entries merged into an earlier one of the same headword
    SkipCounts skipped;
    size_t headwordCount() const;
};

struct TurkishSide
{
    std::array<std::vector<TurkishHeadword>, 30> tabs; // tab 26 + i, each in Turkish order
    int entries = 0; // Turkish-English source entries read
    int reverseTerms = 0; // Turkish terms taken from English-Turkish senses (with repeats)
    int fromReverseOnly = 0; // headwords that only the reverse index supplies
    int cappedLists = 0; // headwords whose English list was cut to kMaxEnglishEquivalents
    SkipCounts skipped;
    size_t headwordCount() const;
};

// Most English equivalents listed in one Turkish article.
inline constexpr size_t kMaxEnglishEquivalents = 150;
// Most senses kept in one merged article.
inline constexpr size_t kMaxSenses = 200;

// English side: headwords converted to code page 1254 (skipped and counted when they cannot
// be), tab by first letter, entries of one headword merged, tabs in English order.
EnglishSide collectEnglish(const std::vector<FreeDictEntry> &entries);

// Turkish side: the Turkish-English entries plus the reverse index of the English side's
// senses, merged per Turkish headword (Turkish casing), tabs by the Turkish tab table, in
// Turkish order.
TurkishSide collectTurkish(const std::vector<FreeDictEntry> &turkishEntries,
                           const EnglishSide &english);

// The writer's input for all 56 tabs: one base record per headword with its RTF article.
// IPA characters the table does not know are counted in `unknownIpa`.
std::vector<std::vector<WriterEntry>> makeWriterTabs(const EnglishSide &english,
                                                     const TurkishSide &turkish, const IpaMap &ipa,
                                                     std::map<char32_t, int> *unknownIpa = nullptr);

// ---- Build stages ----

struct BuildOptions
{
    std::string sourceDir = "/usr/share/dictd"; // the FreeDict dictd files
    std::string outDir; // the installation folder that receives eg/ and tr/
    bool compress = false; // SZDD-compress the article files
    std::vector<std::string> stages; // names to run; empty: every stage
    std::vector<std::string> skippedStages; // names not to run ("sound" for --no-sound)
    int soundWorkers = 0; // worker processes of the sound stage; 0: one per core, at most 8
    std::ostream *progress = nullptr; // progress lines of long stages (standard error)
    bool progressInPlace = false; // a terminal: progress rewrites one line with '\r'
};

// What the stages share: the options, the report stream and the data built so far (later
// stages, such as sounds for the English base headwords, read the tabs in record order).
struct BuildContext
{
    const BuildOptions &options;
    std::ostream &log;
    EnglishSide english;
    TurkishSide turkish;
};

class BuildStage
{
public:
    virtual ~BuildStage() = default;
    virtual std::string name() const = 0;
    virtual std::string summary() const = 0;
    virtual Status run(BuildContext &context) = 0;
};

// The stages in the order they run.
std::vector<std::unique_ptr<BuildStage>> makeStages();

// The FreeDict file stems under `sourceDir` ("freedict-eng-tur", "freedict-tur-eng").
std::string englishSourceStem(const std::string &sourceDir);
std::string turkishSourceStem(const std::string &sourceDir);

// Runs the chosen stages (all when none are named) except the skipped ones. BadInput for an
// unknown stage name, FileNotFound for a missing source file, the failing stage's error
// otherwise.
Status runBuild(const BuildOptions &options, std::ostream &log);

} // namespace zarel::dicttool
