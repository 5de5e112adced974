// The content of an installation besides the dictionary and its sounds: the help pages, the
// transcription and abbreviation keys, the pictures and the feedback sounds (build stage
// "content"), and the usage-label check of `zarel-dict check`.
#pragma once

#include "platform/result.h"
#include "rtf/rtfdocument.h"
#include "zarel-dict/builder.h"

#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// ---- Files compiled in from data/ ----

struct EmbeddedFile
{
    std::string_view path; // relative to data/: "hlp/help.htm", "rtf/abbreviations.tsv"
    std::string_view bytes;
};

// Every file of data/hlp and the two key tables of data/rtf, as they were at build time
// (generated source; see contentfiles.cmake).
std::span<const EmbeddedFile> embeddedContentFiles();

// The bytes of the compiled-in file `path`; empty when there is none.
std::string_view embeddedContent(std::string_view path);

// ---- Transcription key (rtf/trans.rtf) ----

struct TranscriptionKeyLine
{
    std::string symbol; // markup, "*" around bold parts: "e*ı*"
    std::string firstWord;
    std::string firstTranscription; // markup
    std::string secondWord;
    std::string secondTranscription; // markup
    std::string explanation; // Turkish
};

// Reads the key table: one line per symbol, in sound-number order,
// "symbol<TAB>word<TAB>transcription<TAB>word<TAB>transcription<TAB>explanation" (UTF-8, every
// field non-empty); '#' lines and empty lines are skipped. BadFormat names the first bad line,
// a symbol out of order, or a count other than kTranscriptionSymbolCount.
Status loadTranscriptionKey(std::string_view tsv, std::vector<TranscriptionKeyLine> &lines);

// One paragraph per line, in order: the symbol (its bold parts bold), the two examples with
// their transcriptions between slashes (bold parts bold), and the explanation. Paragraph n
// belongs to symbol button n + 1.
rtf::Document transcriptionKeyDocument(const std::vector<TranscriptionKeyLine> &lines);

// ---- Abbreviation key (rtf/eng.rtf) ----

struct Abbreviation
{
    std::string label; // as the articles write it between parentheses: "müz.", "A.B.D."
    std::string turkish;
    std::string english;
};

// Reads "label<TAB>Turkish meaning<TAB>English meaning" lines (UTF-8, every field non-empty,
// each label once); '#' lines and empty lines are skipped. BadFormat names the first bad line.
Status loadAbbreviationKey(std::string_view tsv, std::vector<Abbreviation> &entries);

// A title paragraph, a note, then one paragraph per entry: "(label)" in bold, a tab, the Turkish
// meaning and the English meaning in italics.
rtf::Document abbreviationKeyDocument(const std::vector<Abbreviation> &entries);

// ---- Usage labels ----

using LabelSet = std::set<std::string, std::less<>>;

// The labels of a list of key entries.
LabelSet labelsOf(const std::vector<Abbreviation> &entries);

// The labels that a key document lists: the bold "(label)" that begins a paragraph.
LabelSet labelsOfKeyDocument(const rtf::Document &doc);

// The compiled-in key (data/rtf/abbreviations.tsv); empty if that table were broken.
const LabelSet &builtinLabelKey();

// The key an installation carries: the labels of `programFolder`/rtf/eng.rtf when that file
// exists (a damaged file gives few or no labels, so the check reports what it lacks), the
// compiled-in key otherwise.
LabelSet installedLabelKey(const std::string &programFolder);

// True for a parenthesized text (without its parentheses, blanks trimmed) written as an
// abbreviation: one or more words of 1-8 letters, each ended by '.', separated by at most one
// blank ("müz.", "A.B.D.", "k.dili.", "güz. san.").
bool isAbbreviationLabel(std::string_view inner);

// The usage labels an article's text (UTF-8) uses, each once, in order of first use: the
// parenthesized texts of at most kMaxLabelLength characters (innermost parentheses, blanks
// trimmed) that are abbreviations or that `key` names.
std::vector<std::string> articleLabels(std::string_view text, const LabelSet &key);

// The abbreviation labels of `text` that `key` lacks, each once.
std::vector<std::string> missingLabels(std::string_view text, const LabelSet &key);

// ---- The stage ----

// Writes the content into `folder` (created if needed): hlp/ (the compiled-in help pages),
// rtf/trans.rtf, rtf/eng.rtf, the JPEG pictures (logo_en_tr.jpg, logo_tr_en.jpg, about.jpg,
// aboutprog.jpg, strip.jpg, texture.jpg), the BMP glyphs (Start1.bmp, Start2.bmp, Stop2.bmp,
// Record1.bmp, a.bmp, b.bmp) and the feedback sounds (da.wav, ne.wav). Every file is written
// atomically. Pictures are drawn with Qt; without a running application an offscreen
// QGuiApplication is made for the drawing. BadFormat for a broken compiled-in table,
// WriteError for a file that cannot be written.
Status writeContent(const std::string &folder, std::ostream &log);

// The build stage "content": writeContent into the output folder; when the dictionary stage
// ran before it, the labels of the collected senses that the key lacks are listed in the log.
std::unique_ptr<BuildStage> makeContentStage();

} // namespace zarel::dicttool
