// Start-up benchmark: loads a generated dictionary of 56 index files (40,000 English and
// 30,000 Turkish records) and prints the milliseconds of the index load and of building the
// display lists.
#include "app/wordlistmodel.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/dictionarywriter.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

int main()
{
    using Clock = std::chrono::steady_clock;
    const auto folder = std::filesystem::temp_directory_path() / "zarel-bench-startup";
    std::filesystem::remove_all(folder);
    std::mt19937 rng(42);
    std::vector<std::vector<zarel::WriterEntry>> tabs(zarel::kTabCount);
    auto word = [&](char first) {
        std::string w(1, first);
        const int len = 3 + static_cast<int>(rng() % 10);
        for (int i = 0; i < len; ++i)
            w += static_cast<char>('a' + rng() % 26);
        return w;
    };
    for (int i = 0; i < 40000; ++i) {
        const int t = static_cast<int>(rng() % 26);
        tabs[static_cast<size_t>(t)].push_back({ word(static_cast<char>('a' + t)), "x", 1 });
    }
    for (int i = 0; i < 30000; ++i) {
        const int t = 26 + static_cast<int>(rng() % 30);
        tabs[static_cast<size_t>(t)].push_back(
            { word(static_cast<char>(zarel::tabCapital(t))), "x", 1 });
    }
    if (!zarel::writeDictionary(folder.string(), tabs).ok()) {
        std::fprintf(stderr, "cannot write the benchmark dictionary\n");
        return 1;
    }

    const int rounds = 20;
    double loadBest = 1e9, listBest = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const auto t0 = Clock::now();
        zarel::DictionaryIndex index;
        if (!index.loadAll(folder.string()).ok())
            return 1;
        const auto t1 = Clock::now();
        // The display lists: one model per tab over the tab's records (rows convert on demand).
        std::vector<std::unique_ptr<WordListModel>> lists;
        for (int t = 0; t < zarel::kTabCount; ++t)
            lists.push_back(std::make_unique<WordListModel>(index.tab(t)));
        const auto t2 = Clock::now();
        loadBest = std::min(loadBest, std::chrono::duration<double, std::milli>(t1 - t0).count());
        listBest = std::min(listBest, std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::printf(
        "index load: %.2f ms\nword lists: %.2f ms\ntotal: %.2f ms (best of %d, 70000 records)\n",
        loadBest, listBest, loadBest + listBest, rounds);
    std::filesystem::remove_all(folder);
    return 0;
}
