// Start-up benchmark: loads a generated dictionary of 56 index files (40,000 English and
// 30,000 Turkish records) and prints the milliseconds of the index load and of building the
// display lists, then of drawing the 56 tab pictures one by one and as one set.
#include "app/tabpictures.h"
#include "app/wordlistmodel.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/dictionarywriter.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include <QGuiApplication>
#include <QPixmap>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
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

    // The first drawing loads the font; both ways are timed after it.
    zarel::app::drawTabPicture(0);
    double oneByOne = 1e9, asSet = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const auto t0 = Clock::now();
        QList<QPixmap> pictures;
        for (int t = 0; t < zarel::kTabCount; ++t)
            pictures.append(QPixmap::fromImage(zarel::app::drawTabPicture(t)));
        const auto t1 = Clock::now();
        const QList<QPixmap> set = zarel::app::makeTabPictures();
        const auto t2 = Clock::now();
        oneByOne = std::min(oneByOne, std::chrono::duration<double, std::milli>(t1 - t0).count());
        asSet = std::min(asSet, std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::printf("tab pictures: %.2f ms one by one, %.2f ms as one set (best of %d)\n", oneByOne,
                asSet, rounds);
    return 0;
}
