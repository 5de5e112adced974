// Lookup benchmark on a real data folder: the median time of the lookup change (read,
// descramble, parse the RTF, build the document) over the 1,000 longest English articles, and
// of a tab change to the largest tab (the word box filled with its headwords), and the clipboard
// translation of a 5 MB copied text.
//
// Usage: bench_lookup DATA_DIR   (a folder made by "zarel-dict build")
#include "app/tform1.h"
#include "app/ttabcontrol.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QClipboard>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::filesystem::current_path(argv[1]);
    QApplication app(argc, argv);
    using Clock = std::chrono::steady_clock;

    TForm1 form;
    if (!form.startupStatus().ok()) {
        std::fprintf(stderr, "the data folder did not load\n");
        return 1;
    }
    struct Entry
    {
        int tab;
        int item;
        int32_t size;
    };
    std::vector<Entry> entries;
    for (int t = 0; t < 26; ++t) {
        const auto &lists = form.Dictionary.tab(t);
        for (size_t i = 0; i < lists.count(); ++i)
            entries.push_back({ t, static_cast<int>(i), lists.entries[i]->ArticleSize() });
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.size > b.size; });
    entries.resize(std::min<size_t>(entries.size(), 1000));

    std::vector<double> lookups;
    for (const Entry &e : entries) {
        form.selectTab(e.tab);
        form.selectItem(e.item);
        const auto t0 = Clock::now();
        form.ComboBox1Change();
        lookups.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }

    int largest = 0;
    for (int t = 0; t < 56; ++t) {
        if (form.Dictionary.tab(t).count() > form.Dictionary.tab(largest).count())
            largest = t;
    }
    std::vector<double> tabChanges;
    for (int round = 0; round < 50; ++round) {
        form.TabControl1->setTabIndex(round % 2 ? 0 : largest);
        const auto t0 = Clock::now();
        form.TabControl1Change();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (round % 2 == 0)
            tabChanges.push_back(ms);
    }
    // A copied page of 5 MB, looked up in both directions.
    QApplication::clipboard()->setText(QString(5'000'000, u'r'));
    std::vector<double> clipboard;
    for (int round = 0; round < 5; ++round) {
        const auto t0 = Clock::now();
        form.clipboardChanged();
        clipboard.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }

    std::printf("clipboard change with 5 MB of copied text: median %.3f ms\n", median(clipboard));
    std::printf("lookup change, 1000 longest English articles (largest %d bytes): median %.3f ms, "
                "max %.3f ms\n",
                entries.empty() ? 0 : entries.front().size, median(lookups),
                lookups.empty() ? 0 : *std::max_element(lookups.begin(), lookups.end()));
    std::printf("tab change to the largest tab (%zu headwords): median %.3f ms\n",
                form.Dictionary.tab(largest).count(), median(tabChanges));
    return 0;
}
