// FreeDict reader: dictd index lines, dictzip data inflated once with zlib, entry parsing.
#include "zarel-dict/freedict.h"

#include "platform/fileutil.h"
#include "zarel-dict/textrules.h"

#include <algorithm>
#include <set>
#include <utility>

#include <zlib.h>

namespace zarel::dicttool {

namespace {

int base64Digit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Removes a leading sense number "12. ".
std::string_view withoutNumber(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && i < 4 && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i > 0 && i + 1 < line.size() && line[i] == '.' && line[i + 1] == ' ')
        return trimmed(line.substr(i + 2));
    return line;
}

} // namespace

int64_t decodeDictdNumber(std::string_view text)
{
    if (text.empty() || text.size() > 10)
        return -1;
    int64_t value = 0;
    for (const char c : text) {
        const int d = base64Digit(c);
        if (d < 0)
            return -1;
        value = value * 64 + d;
    }
    return value;
}

Status gunzip(std::string_view compressed, std::string &out, size_t cap)
{
    out.clear();
    if (compressed.size() > static_cast<size_t>(UINT32_MAX))
        return Status::failure(ErrorCode::BadFormat, "Compressed data too large");
    z_stream zs {};
    // 16 + MAX_WBITS: expect a gzip header (dictzip keeps its chunk table in the header's
    // extra field, which zlib skips).
    if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK)
        return Status::failure(ErrorCode::ReadError, "zlib could not be initialised");
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data()));
    zs.avail_in = static_cast<uInt>(compressed.size());
    std::string chunk(1 << 16, '\0');
    Status result = Status::success();
    while (true) {
        zs.next_out = reinterpret_cast<Bytef *>(chunk.data());
        zs.avail_out = static_cast<uInt>(chunk.size());
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const size_t produced = chunk.size() - zs.avail_out;
        if (out.size() + produced > cap) {
            result = Status::failure(ErrorCode::BadFormat, "Expanded data too large");
            break;
        }
        out.append(chunk.data(), produced);
        if (rc == Z_STREAM_END) {
            if (zs.avail_in == 0)
                break;
            // Another gzip member follows.
            if (inflateReset(&zs) != Z_OK) {
                result = Status::failure(ErrorCode::BadFormat, "Damaged compressed data");
                break;
            }
            continue;
        }
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) {
            result = Status::failure(ErrorCode::BadFormat, "Compressed data is truncated");
            break;
        }
        if (rc != Z_OK) {
            result = Status::failure(ErrorCode::BadFormat, "Damaged compressed data");
            break;
        }
    }
    inflateEnd(&zs);
    if (!result.ok())
        out.clear();
    return result;
}

FreeDictEntry parseEntry(std::string_view text)
{
    FreeDictEntry entry;
    size_t lineStart = 0;
    bool first = true;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        const std::string_view line = trimmed(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (first) {
            first = false;
            std::string_view head = line;
            // "headword /IPA/": the IPA is the text between the last " /" and the closing "/".
            if (head.size() >= 3 && head.back() == '/') {
                const size_t open = head.rfind(" /", head.size() - 2);
                if (open != std::string_view::npos) {
                    entry.ipa = std::string(trimmed(head.substr(open + 2, head.size() - open - 3)));
                    head = trimmed(head.substr(0, open));
                }
            }
            entry.headword = normalizeSpaces(head);
            continue;
        }
        if (line.empty())
            continue;
        std::string sense = normalizeSpaces(withoutNumber(line));
        if (!sense.empty())
            entry.senses.push_back(std::move(sense));
    }
    return entry;
}

bool isMetaHeadword(std::string_view h)
{
    return h.starts_with("00database") || h.starts_with("00-database");
}

void parseDictd(std::string_view index, std::string_view data, std::vector<FreeDictEntry> &entries,
                DictdStats *stats)
{
    DictdStats local;
    DictdStats &s = stats ? *stats : local;
    std::vector<std::pair<int64_t, int64_t>> ranges;
    size_t pos = 0;
    while (pos < index.size()) {
        size_t end = index.find('\n', pos);
        if (end == std::string_view::npos)
            end = index.size();
        const std::string_view line = index.substr(pos, end - pos);
        pos = end + 1;
        if (trimmed(line).empty())
            continue;
        ++s.indexLines;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos) {
            ++s.badLines;
            continue;
        }
        const std::string_view headword = line.substr(0, tab1);
        if (isMetaHeadword(headword)) {
            ++s.metaEntries;
            continue;
        }
        const int64_t offset = decodeDictdNumber(line.substr(tab1 + 1, tab2 - tab1 - 1));
        const int64_t length = decodeDictdNumber(trimmed(line.substr(tab2 + 1)));
        if (offset < 0 || length <= 0 || offset > static_cast<int64_t>(data.size())
            || length > static_cast<int64_t>(data.size()) - offset) {
            ++s.badLines;
            continue;
        }
        ranges.emplace_back(offset, length);
    }
    std::sort(ranges.begin(), ranges.end());
    const auto unique = std::unique(ranges.begin(), ranges.end());
    s.duplicateRanges += static_cast<int>(ranges.end() - unique);
    ranges.erase(unique, ranges.end());
    entries.reserve(entries.size() + ranges.size());
    for (const auto &[offset, length] : ranges)
        entries.push_back(
            parseEntry(data.substr(static_cast<size_t>(offset), static_cast<size_t>(length))));
}

Status readDictd(const std::string &basePath, std::vector<FreeDictEntry> &entries,
                 DictdStats *stats)
{
    std::string index;
    Status st = readWholeFile(basePath + ".index", index);
    if (!st.ok())
        return st;
    std::string data;
    const std::string dz = basePath + ".dict.dz";
    if (fileExists(dz)) {
        std::string compressed;
        st = readWholeFile(dz, compressed);
        if (st.ok())
            st = gunzip(compressed, data);
        if (!st.ok()) {
            st.path = dz;
            return st;
        }
    } else {
        st = readWholeFile(basePath + ".dict", data);
        if (!st.ok())
            return st;
    }
    parseDictd(index, data, entries, stats);
    return Status::success();
}

} // namespace zarel::dicttool
