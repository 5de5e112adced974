// Small FreeDict sources in the dictd format for tests of the data builder: a fixed one with the
// cases the builder must handle, and a generated one of any size whose articles differ by edition.
#pragma once

#include <string>
#include <vector>

namespace zarel::test {

// Writes stem.index and stem.dict.dz: a meta entry, then the given entry texts (the headword is
// the text up to the first blank or line end).
void writeDictd(const std::string &stem, const std::vector<std::string> &entries);

// freedict-eng-tur and freedict-tur-eng under `dir`: repeated headwords, skipped headwords, a Q
// and a Δ, accented letters and the reverse index.
void writeFakeSource(const std::string &dir);

// Generated sources under `dir`: `perLetter` English headwords for each letter a-z (headwords
// "<letter>" + a counter spelled in letters), each with a Turkish sense naming a Turkish word of
// its own, so both directions fill many tabs. Articles depend on the edition (odd and even
// editions differ); edition 2 and later add one more headword to every English letter
// ("<letter>zzz").
void writeGeneratedSource(const std::string &dir, int perLetter, int edition);

} // namespace zarel::test
