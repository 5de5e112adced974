// The articles the builder writes: RTF documents that begin with the bold headword, then (for
// English headwords) " /transcription/", then one numbered paragraph per sense.
#pragma once

#include "rtf/rtfdocument.h"
#include "zarel-dict/ipamap.h"

#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// Longest parenthesized text set in italics as a usage label ("(müz.)", "(k. dili)"), counted
// in characters between the parentheses.
inline constexpr size_t kMaxLabelLength = 15;

// Splits sense text (UTF-8) into runs: parenthesized labels of at most kMaxLabelLength
// characters in italics, the rest upright.
std::vector<rtf::Run> senseRuns(std::string_view sense);

// An article document. `headword` is the index spelling in code page 1254; the transcription
// is left out with its slashes when empty; senses are numbered from 1 in their order.
rtf::Document articleDocument(std::string_view headword, const Transcription &transcription,
                              const std::vector<std::string> &senses);

// The article bytes as stored (RTF, code page 1254).
std::string articleRtf(const rtf::Document &doc);

} // namespace zarel::dicttool
