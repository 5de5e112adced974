// Pronunciation benchmark: the time from the pronounce command to the first decoded PCM frame
// handed to the output (the PCM-file device, so no sound card is needed), median of 50 runs.
//
// Usage: bench_pronounce   (needs sox and lame to make the test word's MP3)
#include "app/tform1.h"
#include "app/ttabcontrol.h"
#include "dictionary/dictionarywriter.h"
#include "sound/tmpegplayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <QApplication>
#include <QComboBox>

namespace fs = std::filesystem;

namespace {

// Size of the PCM the library is writing: its temporary file or the finished one.
uintmax_t pcmBytes(const fs::path &folder)
{
    uintmax_t total = 0;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(folder / "out", ec)) {
        const auto size = e.file_size(ec);
        if (!ec)
            total += size;
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path folder = fs::temp_directory_path() / "zarel-bench-pronounce";
    fs::remove_all(folder);
    fs::create_directories(folder / "wave" / "1");
    fs::create_directories(folder / "out");
    std::vector<std::vector<zarel::WriterEntry>> tabs(zarel::kTabCount);
    tabs[0].push_back({ "apple", "{\\rtf1 apple}", 1 });
    if (!zarel::writeDictionary(folder.string(), tabs).ok())
        return 1;
    const std::string make = "sox -q -n -r 22050 -c 1 " + (folder / "t.wav").string()
        + " synth 1.0 sine 440 && lame --quiet -m m -b 24 " + (folder / "t.wav").string() + " "
        + (folder / "wave" / "1" / "1.mp3").string();
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "sox and lame are needed\n");
        return 1;
    }
    fs::current_path(folder);
    QApplication app(argc, argv);
    TForm1 form;
    form.MPEG1->PathToDLL = MPEGDLL_DIR;
    form.MPEG1->setTimerFreq(10);
    form.MPEG1->OutFilename = (folder / "out" / "word.pcm").string();
    form.MPEG1->setOutputDevice(TOutputDevice::pcmfile);
    form.selectTab(0);
    form.selectItem(0);

    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int run = 0; run < 50; ++run) {
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        const auto t0 = Clock::now();
        form.Button7Click();
        while (pcmBytes(folder) == 0 && Clock::now() - t0 < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        while (form.MPEG1->LibraryLoaded() && Clock::now() - t0 < std::chrono::seconds(5))
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::sort(times.begin(), times.end());
    std::printf("pronounce to first PCM frame: median %.2f ms, best %.2f ms, worst %.2f ms (50 "
                "runs, library "
                "loaded on demand each time)\n",
                times[times.size() / 2], times.front(), times.back());
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}
