// The plan shared by the crash-safety test and the program it kills: the dictionary the tree
// starts with, and the sequence of words, settings and word lists the program stores.
#pragma once

#include "dictionary/dictionarywriter.h"

#include <map>
#include <string>
#include <vector>

namespace zarel::crash {

inline constexpr int kWordTab = 22; // English "w": the tab the added words go into
inline constexpr const char *kListFileName = "crash.DIC";
inline constexpr int kListWindow = 8; // the list holds at most this many entries

// The base dictionary of the tree: a few headwords in the word tab, on both sides of the added
// words, and the headwords the word list is made of.
std::map<int, std::vector<WriterEntry>> baseTabs();

// The headword of added word `k` (k >= 1): "w" and three letters, distinct for every k up to
// 17,576 and scattered through the alphabet so each one lands somewhere else in the index.
std::string addedWord(int k);

// The setting position (1-5 of Dictionary.cfg) that settings store `v` (v >= 1) flips. The
// view setting is left alone: adding to the word list switches back to the standard view, which
// would store the setting unannounced.
int configPosition(int v);
// The five setting characters after `v` stores, and the exact file: "11111" as created at the
// first start (no line end), then the five characters and CR LF.
std::string configFlags(int v);
std::string configFileBytes(int v);

struct ListWord
{
    int tab;
    std::string headword; // code page 1254
};
// The headwords the list takes in turn, English and Turkish alternately.
const std::vector<ListWord> &listWords();
// The marked entries after list save `n`: save n adds listWords()[(n - 1) % size], first
// dropping the oldest entry when the list is full. Empty for n = 0.
std::vector<std::string> listEntries(int n);
// The exact list file after save `n` (n >= 1).
std::string listFileBytes(int n);

} // namespace zarel::crash
