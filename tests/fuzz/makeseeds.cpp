// fuzz_makeseeds DATA_DIR OUT_DIR: writes seed inputs for the fuzz harnesses into OUT_DIR/<name>/
// from a data folder made by "zarel-dict build": index files and articles, key pages, feedback
// sounds, and word lists and copied texts made from headwords. MP3 seeds are made separately.
#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "platform/fileutil.h"
#include "platform/lzfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace zarel;

std::string g_out;
int g_written = 0;

void seed(const std::string &harness, const std::string &name, const std::string &bytes)
{
    const std::string folder = g_out + "/" + harness;
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/seed-" + name, std::ios::binary) << bytes;
    ++g_written;
}

std::string readOr(const std::string &path)
{
    std::string bytes;
    if (!readWholeFile(path, bytes).ok())
        std::fprintf(stderr, "fuzz_makeseeds: cannot read %s\n", path.c_str());
    return bytes;
}

std::string le32(uint32_t v)
{
    return { char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24) };
}

std::string compressed(const std::string &plain)
{
    const std::vector<unsigned char> packed
        = lz::szddCompress(std::vector<unsigned char>(plain.begin(), plain.end()));
    return std::string(packed.begin(), packed.end());
}

// The index harness's input for the first `records` records of a tab and the start of its base
// article file that holds their articles.
void indexSeeds(const std::string &data, int tab, size_t records)
{
    const std::string index = readOr(indexPath(data, tab));
    const std::string articles = readOr(articlePath(data, tab, true));
    const size_t count = std::min(records, index.size() / kRecordSize);
    size_t end = 0;
    for (size_t i = 0; i < count; ++i) {
        const auto *r = reinterpret_cast<const TWordRecord *>(index.data() + i * kRecordSize);
        if (r->ArticleOffset() >= 0 && r->ArticleSize() > 0)
            end = std::max<size_t>(end, size_t(r->ArticleOffset()) + size_t(r->ArticleSize()));
    }
    const std::string head = index.substr(0, count * kRecordSize);
    const std::string body = articles.substr(0, std::min(end, articles.size()));
    const std::string prefix = std::string(1, char(tab)) + '\x01' + le32(uint32_t(head.size()));
    const std::string name = "tab" + std::to_string(tab);
    seed("index", name, prefix + head + body);
    seed("index", name + "-szdd", prefix + head + compressed(body));
    seed("index", name + "-partial",
         std::string(1, char(tab)) + '\x00' + le32(uint32_t(head.size() + 50)) + head
             + index.substr(head.size(), 50));
    seed("lzfile", name + "-articles", body);
    seed("lzfile", name + "-articles-szdd", compressed(body));
}

std::vector<std::string> headwords(const std::string &data, int tab, size_t count)
{
    DictionaryIndex index;
    std::vector<std::string> words;
    if (!index.loadTab(data, tab).ok())
        return words;
    const TabLists &lists = index.tab(tab);
    for (size_t i = 0; i < lists.count() && words.size() < count; i += 1 + lists.count() / count)
        words.emplace_back(lists.headword(i));
    return words;
}

std::string utf16le(const std::string &utf8)
{
    std::string bytes;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t c = utf8::next(utf8, pos);
        if (c > 0xFFFF)
            continue;
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_makeseeds DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    g_out = argv[2];

    // Index files and articles of an English and two Turkish tabs.
    indexSeeds(data, 0, 40);
    indexSeeds(data, 25, 12);
    indexSeeds(data, 26 + 21, 30);

    // RTF: the two key pages and some articles.
    seed("rtf", "eng", readOr(data + "/rtf/eng.rtf"));
    seed("rtf", "trans", readOr(data + "/rtf/trans.rtf"));
    for (const int tab : { 0, 2, 30 }) {
        DictionaryIndex index;
        if (!index.loadTab(data, tab).ok())
            continue;
        const TabLists &lists = index.tab(tab);
        for (size_t i = 0; i < lists.count() && i < 400; i += 97)
            seed("rtf", "article" + std::to_string(tab) + "-" + std::to_string(i),
                 readArticle(data, tab, *lists.entries[i]));
    }
    seed("lzfile", "trans-szdd", compressed(readOr(data + "/rtf/trans.rtf")));

    // The feedback sounds.
    for (const char *name : { "da.wav", "ne.wav" })
        seed("wave", name, readOr(data + "/" + name));

    // Dictionary.cfg as the program writes it, and as a user may leave it.
    seed("config", "defaults", "11111");
    seed("config", "stored", "10110\r\n");
    seed("config", "lf", "01\n11111");
    seed("config", "empty", "");

    // Word lists and copied texts from headwords of both directions.
    std::string list;
    std::string listLf;
    for (const std::string &w : headwords(data, 1, 30)) {
        list += w + "*\r\n";
        listLf += w + "*\n";
    }
    std::string turkishList;
    for (const std::string &w : headwords(data, 26 + 17, 30))
        turkishList += w + "\r\n";
    seed("wordlist", "english", list);
    seed("wordlist", "english-lf", listLf);
    seed("wordlist", "mixed", turkishList + list);
    int copied = 0;
    for (const int tab : { 4, 26 + 5, 26 + 24 }) {
        for (const std::string &w : headwords(data, tab, 3)) {
            const std::string text = "  " + cp1254::toUtf8(w) + " ";
            seed("clipboard", "utf8-" + std::to_string(copied), '\x01' + text);
            seed("clipboard", "utf16-" + std::to_string(copied), '\x00' + utf16le(text));
            ++copied;
        }
    }
    std::printf("%d seeds written to %s\n", g_written, g_out.c_str());
    return 0;
}
