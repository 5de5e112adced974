// Fake FreeDict sources: dictd index with base64 numbers, gzip-compressed data.
#include "fakesource.h"

#include "support/testdictionary.h"

#include <zlib.h>

namespace zarel::test {

namespace {

std::string base64Number(size_t value)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    do {
        out.insert(out.begin(), digits[value % 64]);
        value /= 64;
    } while (value > 0);
    return out;
}

std::string gzipped(const std::string &plain)
{
    std::string out(compressBound(static_cast<uLong>(plain.size())) + 64, '\0');
    z_stream zs {};
    deflateInit2(&zs, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.data()));
    zs.avail_in = static_cast<uInt>(plain.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// A number spelled in the letters a-z, at least three of them: 0 -> "aaa", 27 -> "abb".
std::string letters(int n)
{
    std::string out;
    for (int i = 0; i < 3 || n > 0; ++i) {
        out.insert(out.begin(), static_cast<char>('a' + n % 26));
        n /= 26;
    }
    return out;
}

} // namespace

void writeDictd(const std::string &stem, const std::vector<std::string> &entries)
{
    std::string data = "00-database-info\nA test dictionary.\n";
    std::string index = "00databaseinfo\tA\t" + base64Number(data.size()) + "\n";
    for (const std::string &e : entries) {
        const std::string key = e.substr(0, e.find_first_of(" \n"));
        index += key + "\t" + base64Number(data.size()) + "\t" + base64Number(e.size()) + "\n";
        data += e;
    }
    writeFile(stem + ".index", index);
    writeFile(stem + ".dict.dz", gzipped(data));
}

void writeFakeSource(const std::string &dir)
{
    writeDictd(dir + "/freedict-eng-tur",
               {
                   "abandon /ɐbˈandən/\n1. tamamıyle bırakmak, terketmek\n2. (müz.) kendini "
                   "kaptırmak.\n",
                   "ab /ˈab/\n1. (önek) uzağa\n",
                   "ab /ˈab/\n1. temmuz ortasında başlayan ay\n",
                   "Carl /kˈɑːl/\n1. bir isim\n",
                   "card /kˈɑːd/\n1. kart, iskambil kâğıdı\n",
                   "car /kˈɑː/\n1. araba, otomobil\n",
                   "café /kˈafeɪ/\n1. kahvehane\n",
                   "(anat.) /ˈanat/\n1. (kıs.) anatomy.\n",
                   "Δ-wing /dˈɛltə wˈɪŋ/\n1. delta kanat\n",
                   "quick /kwˈɪk/\n1. çabuk, hızlı\n",
               });
    writeDictd(dir + "/freedict-tur-eng",
               {
                   "araba /arˈaba/\ncar, automobile\n",
                   "Irak /ɯɾˈak/\nIraq\n",
                   "Quebec /kebˈek/\nQuebec\n",
               });
}

void writeGeneratedSource(const std::string &dir, int perLetter, int edition)
{
    // Turkish words start with these letters in turn, so the reverse index reaches many tabs.
    static const char *const kTurkishStarts[]
        = { "a", "b", "c", "ç", "d", "e", "f", "g", "h", "ı", "i", "j", "k", "l",
            "m", "n", "o", "ö", "p", "r", "s", "ş", "t", "u", "ü", "v", "y", "z" };
    // The transcription of every English article and the sense of every Turkish one change with
    // the edition.
    const std::string ipa = edition % 2 ? " /ˈab/\n1. " : " /ˈæːb/\n1. ";
    const std::string note = ", edition " + std::to_string(edition);
    std::vector<std::string> english;
    std::vector<std::string> turkish;
    int serial = 0;
    for (char c = 'a'; c <= 'z'; ++c) {
        std::vector<std::string> words;
        for (int i = 0; i < perLetter; ++i)
            words.push_back(std::string(1, c) + letters(i));
        if (edition >= 2)
            words.push_back(std::string(1, c) + "zzz");
        for (const std::string &word : words) {
            const std::string tr = std::string(kTurkishStarts[serial % 28]) + letters(serial);
            ++serial;
            english.push_back(word + ipa + tr + "\n");
            if (serial % 4 == 0)
                turkish.push_back(tr + "\n" + word + note + "\n");
        }
    }
    writeDictd(dir + "/freedict-eng-tur", english);
    writeDictd(dir + "/freedict-tur-eng", turkish);
}

} // namespace zarel::test
