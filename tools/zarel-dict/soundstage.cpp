// The sound stage: the job list from the English index files and the symbol table, the record
// of made sounds, the worker processes that synthesize and encode, and the progress line.
#include "zarel-dict/soundstage.h"

#include "zarel-dict/tablelines.h"

#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/usersound.h"
#include "platform/fileutil.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <sstream>
#include <thread>
#include <unordered_set>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarel::dicttool {

namespace {

// Part of every definition: change it when the same settings start to give other sounds.
constexpr std::string_view kSoundRecipe = "zarel-sound-1";
constexpr std::string_view kManifestHeader = "zarel-sounds 1";
constexpr int kMaxWorkers = 16;

using Clock = std::chrono::steady_clock;

class Fnv64
{
public:
    void add(std::string_view bytes)
    {
        for (const char c : bytes) {
            m_hash ^= static_cast<unsigned char>(c);
            m_hash *= 0x100000001b3ULL;
        }
        m_hash ^= 0xFF; // field separator, so "ab"+"c" differs from "a"+"bc"
        m_hash *= 0x100000001b3ULL;
    }
    void add(long long value) { add(std::to_string(value)); }
    uint64_t value() const { return m_hash; }

private:
    uint64_t m_hash = 0xcbf29ce484222325ULL;
};

std::string firstLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

// The progress line: done/total, rate and time left, at most four times a second on a
// terminal (rewritten in place), every ten seconds otherwise.
class ProgressLine
{
public:
    ProgressLine(std::ostream *out, bool inPlace, size_t total)
        : m_out(out)
        , m_inPlace(inPlace)
        , m_total(total)
        , m_start(Clock::now())
        , m_last(m_start)
    { }

    void update(size_t done)
    {
        const auto now = Clock::now();
        const auto interval = m_inPlace ? std::chrono::milliseconds(250) : std::chrono::seconds(10);
        if (m_out == nullptr || now - m_last < interval)
            return;
        m_last = now;
        show(done, false, false);
    }

    void finish(size_t done, bool complete)
    {
        if (m_out != nullptr)
            show(done, true, complete);
    }

private:
    void show(size_t done, bool final, bool complete)
    {
        const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
        const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
        std::ostringstream line;
        line << "Sounds: " << done << "/" << m_total << " ("
             << (m_total > 0 ? done * 100 / m_total : 100) << "%), " << std::fixed
             << std::setprecision(0) << rate << "/s, ";
        if (final) {
            line << (complete ? "done in " : "stopped after ") << clock(elapsed);
        } else if (rate > 0) {
            line << clock(static_cast<double>(m_total - std::min(done, m_total)) / rate) << " left";
        } else {
            line << "--:-- left";
        }
        std::string text = line.str();
        if (m_inPlace) {
            const size_t width = text.size();
            text.resize(std::max(width, m_width), ' ');
            m_width = width;
            *m_out << '\r' << text;
            if (final)
                *m_out << '\n';
        } else {
            *m_out << text << '\n';
        }
        m_out->flush();
    }

    static std::string clock(double seconds)
    {
        const long s = static_cast<long>(seconds + 0.5);
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%ld:%02ld", s / 60, s % 60);
        return buffer;
    }

    std::ostream *m_out;
    bool m_inPlace;
    size_t m_total;
    Clock::time_point m_start;
    Clock::time_point m_last;
    size_t m_width = 0;
};

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The body of a worker process: makes its share of the jobs in order and reports each on
// `fd` as "ok <job> <samples>" or, stopping there, "fail <job> <message>" (job -1: the
// synthesizer did not start). Never returns.
[[noreturn]] void runWorker(int fd, const std::string &folder, const std::vector<SoundJob> &jobs,
                            const std::vector<size_t> &mine, const SoundSettings &settings)
{
    std::unique_ptr<Speech> speech;
    Status st = Speech::open(settings.words, speech);
    if (!st.ok()) {
        writeAll(fd, "fail -1 " + firstLine(st.message) + "\n");
        ::_exit(1);
    }
    Mp3Options mp3 = settings.mp3;
    mp3.inputRate = speech->sampleRate();
    int rate = settings.words.rate;
    std::vector<int16_t> pcm;
    for (const size_t index : mine) {
        const SoundJob &job = jobs[index];
        const int wanted = job.phonemes ? settings.symbolRate : settings.words.rate;
        if (wanted != rate) {
            speech->setRate(wanted);
            rate = wanted;
        }
        st = job.phonemes ? speech->speakPhonemes(job.text, pcm) : speech->speakText(job.text, pcm);
        if (st.ok())
            st = writeMp3File(folder + "/" + job.path, pcm, mp3);
        if (!st.ok()) {
            std::string message = st.message;
            if (!st.path.empty())
                message += ": " + st.path;
            writeAll(fd, "fail " + std::to_string(index) + " " + firstLine(message) + "\n");
            ::_exit(1);
        }
        if (!writeAll(fd, "ok " + std::to_string(index) + " " + std::to_string(pcm.size()) + "\n"))
            ::_exit(1);
    }
    ::_exit(0);
}

struct Worker
{
    pid_t pid = -1;
    int fd = -1;
    std::vector<size_t> jobs; // indices into the job list, made in this order
    size_t finished = 0; // jobs reported done
    std::string pending; // bytes of an unfinished report line
};

std::string describeJob(const SoundJob &job)
{
    return job.path + " (\"" + job.text + "\")";
}

// Runs the jobs `todo` in up to `count` workers. `onDone(job, samples)` is called for every job
// reported done. Returns the first failure; the other workers are stopped then.
class WorkerPool
{
public:
    WorkerPool(const std::string &folder, const std::vector<SoundJob> &jobs,
               const SoundSettings &settings)
        : m_folder(folder)
        , m_jobs(jobs)
        , m_settings(settings)
    { }

    template<typename OnDone, typename OnTick>
    Status run(const std::vector<size_t> &todo, int count, OnDone onDone, OnTick onTick)
    {
        count = std::clamp(count, 1, kMaxWorkers);
        count = static_cast<int>(std::min<size_t>(static_cast<size_t>(count), todo.size()));
        m_workers.assign(static_cast<size_t>(count), Worker {});
        // Interleaved shares, so each worker gets words from every letter and sounds of every
        // length.
        for (size_t i = 0; i < todo.size(); ++i)
            m_workers[i % static_cast<size_t>(count)].jobs.push_back(todo[i]);

        Status result;
        for (Worker &w : m_workers) {
            result = start(w);
            if (!result.ok())
                break;
        }
        if (!result.ok())
            stopAll();

        while (anyOpen()) {
            std::vector<pollfd> fds;
            std::vector<Worker *> owners;
            for (Worker &w : m_workers) {
                if (w.fd >= 0) {
                    fds.push_back({ w.fd, POLLIN, 0 });
                    owners.push_back(&w);
                }
            }
            const int ready = ::poll(fds.data(), fds.size(), 250);
            if (ready < 0 && errno != EINTR) {
                if (result.ok())
                    result = Status::failure(ErrorCode::WriteError,
                                             std::string("Waiting for the sound workers failed: ")
                                                 + std::strerror(errno));
                stopAll();
            }
            for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
                if (fds[i].revents == 0)
                    continue;
                Status st = readFrom(*owners[i], onDone);
                if (!st.ok() && result.ok()) {
                    result = st;
                    stopAll();
                }
            }
            onTick();
        }
        return result;
    }

private:
    Status start(Worker &w)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return Status::failure(ErrorCode::WriteError,
                                   std::string("Cannot start a sound worker: ")
                                       + std::strerror(errno));
        const pid_t pid = ::fork();
        if (pid < 0) {
            const int err = errno;
            ::close(fds[0]);
            ::close(fds[1]);
            return Status::failure(ErrorCode::WriteError,
                                   std::string("Cannot start a sound worker: ")
                                       + std::strerror(err));
        }
        if (pid == 0) {
            ::close(fds[0]);
            for (const Worker &other : m_workers)
                if (other.fd >= 0)
                    ::close(other.fd);
            runWorker(fds[1], m_folder, m_jobs, w.jobs, m_settings);
        }
        ::close(fds[1]);
        w.pid = pid;
        w.fd = fds[0];
        return Status::success();
    }

    bool anyOpen() const
    {
        return std::any_of(m_workers.begin(), m_workers.end(),
                           [](const Worker &w) { return w.fd >= 0; });
    }

    void stopAll()
    {
        m_stopping = true;
        for (Worker &w : m_workers)
            if (w.fd >= 0 && w.pid > 0)
                ::kill(w.pid, SIGTERM);
    }

    template<typename OnDone> Status readFrom(Worker &w, OnDone &onDone)
    {
        char buffer[65536];
        const ssize_t n = ::read(w.fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return Status::success();
        if (n > 0) {
            w.pending.append(buffer, static_cast<size_t>(n));
            size_t start = 0;
            size_t end;
            Status result;
            while (result.ok() && (end = w.pending.find('\n', start)) != std::string::npos) {
                result
                    = handleLine(w, std::string_view(w.pending).substr(start, end - start), onDone);
                start = end + 1;
            }
            w.pending.erase(0, start);
            if (w.pending.size() > 65536)
                result = Status::failure(ErrorCode::BadFormat, "A sound worker sent garbage");
            return result;
        }
        ::close(w.fd);
        w.fd = -1;
        return reap(w);
    }

    template<typename OnDone> Status handleLine(Worker &w, std::string_view line, OnDone &onDone)
    {
        const size_t expected = w.finished < w.jobs.size() ? w.jobs[w.finished] : SIZE_MAX;
        std::istringstream in { std::string(line) };
        std::string word;
        long long job = -2;
        in >> word >> job;
        if (word == "ok" && job >= 0 && static_cast<size_t>(job) == expected) {
            long long samples = 0;
            in >> samples;
            ++w.finished;
            onDone(static_cast<size_t>(job), samples);
            return Status::success();
        }
        if (word == "fail") {
            std::string message;
            std::getline(in >> std::ws, message);
            if (job < 0)
                return Status::failure(ErrorCode::ReadError,
                                       "A sound worker cannot speak: " + message);
            if (static_cast<size_t>(job) == expected)
                return Status::failure(ErrorCode::WriteError,
                                       "Cannot make the sound " + describeJob(m_jobs[expected])
                                           + ": " + message);
        }
        return Status::failure(ErrorCode::BadFormat, "A sound worker sent a bad report");
    }

    Status reap(Worker &w)
    {
        int status = 0;
        pid_t got;
        do {
            got = ::waitpid(w.pid, &status, 0);
        } while (got < 0 && errno == EINTR);
        w.pid = -1;
        if (m_stopping || got < 0)
            return Status::success(); // the failure that stopped it is reported already
        const std::string during = w.finished < w.jobs.size()
            ? " while making " + describeJob(m_jobs[w.jobs[w.finished]])
            : std::string();
        if (WIFSIGNALED(status)) {
            const int sig = WTERMSIG(status);
            return Status::failure(ErrorCode::WriteError,
                                   "A sound worker was stopped by signal " + std::to_string(sig)
                                       + " (" + strsignal(sig) + ")" + during);
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            return Status::failure(ErrorCode::WriteError,
                                   "A sound worker ended with status "
                                       + std::to_string(WEXITSTATUS(status)) + during);
        if (w.finished < w.jobs.size())
            return Status::failure(ErrorCode::WriteError,
                                   "A sound worker ended before its last sound" + during);
        return Status::success();
    }

    const std::string &m_folder;
    const std::vector<SoundJob> &m_jobs;
    const SoundSettings &m_settings;
    std::vector<Worker> m_workers;
    bool m_stopping = false;
};

bool isNumberedSound(const std::string &name)
{
    if (!name.ends_with(".mp3") || name.size() <= 4 || name[0] == '0')
        return false;
    return std::all_of(name.begin(), name.end() - 4, [](char c) { return c >= '0' && c <= '9'; });
}

bool isLeftoverTemporary(const std::string &name)
{
    const size_t at = name.find(".mp3.tmp");
    return at != std::string::npos && isNumberedSound(name.substr(0, at + 4));
}

// Removes numbered sounds that no job names and temporary files a stopped run left behind,
// in wave/1 .. wave/26 and trans/ only.
size_t removeUnplannedSounds(const std::string &folder,
                             const std::unordered_set<std::string> &planned)
{
    std::vector<std::string> dirs;
    for (int t = 0; t < kEnglishTabCount; ++t)
        dirs.push_back("wave/" + std::to_string(t + 1));
    dirs.emplace_back("trans");
    size_t removed = 0;
    for (const std::string &dir : dirs) {
        std::error_code ec;
        std::filesystem::directory_iterator it(folder + "/" + dir, ec);
        if (ec)
            continue;
        std::vector<std::string> doomed;
        for (const auto &entry : it) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file(ec))
                continue;
            if (isLeftoverTemporary(name)
                || (isNumberedSound(name) && !planned.contains(dir + "/" + name)))
                doomed.push_back(entry.path().string());
        }
        for (const std::string &path : doomed)
            if (std::filesystem::remove(path, ec))
                ++removed;
    }
    return removed;
}

bool fileSize(const std::string &path, uint64_t &size)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

} // namespace

std::string headwordSoundPath(int tab, int number)
{
    return "wave/" + std::to_string(tab + 1) + "/" + std::to_string(number) + ".mp3";
}

std::string transcriptionSoundPath(int number)
{
    return "trans/" + std::to_string(number) + ".mp3";
}

uint64_t soundDefinition(const SoundJob &job, const SoundSettings &settings)
{
    Fnv64 h;
    h.add(kSoundRecipe);
    h.add(job.phonemes ? "phonemes" : "text");
    h.add(job.text);
    h.add(settings.words.voice);
    h.add(job.phonemes ? settings.symbolRate : settings.words.rate);
    h.add(settings.mp3.outputRate);
    h.add(settings.mp3.bitrateKbps);
    h.add(settings.mp3.quality);
    return h.value();
}

Status headwordSoundJobs(const std::string &folder, std::vector<SoundJob> &jobs)
{
    DictionaryIndex index;
    for (int t = 0; t < kEnglishTabCount; ++t) {
        const Status st = index.loadTab(folder, t);
        if (!st.ok())
            return st;
        const TabLists &lists = index.tab(t);
        for (size_t i = 0; i < lists.count() && i < lists.soundNumbers.size(); ++i) {
            if (lists.soundNumbers[i] == "0")
                continue; // a user record: the program looks for no sound of its own
            jobs.push_back({ "wave/" + std::to_string(t + 1) + "/" + lists.soundNumbers[i] + ".mp3",
                             cp1254::toUtf8(lists.headword(i)), false });
        }
        index.tab(t) = TabLists {};
    }
    return Status::success();
}

Status userSoundJobs(const std::string &folder, std::vector<SoundJob> &jobs)
{
    DictionaryIndex index;
    for (int t = 0; t < kEnglishTabCount; ++t) {
        const Status st = index.loadTab(folder, t);
        if (!st.ok())
            return st;
        std::unordered_set<std::string> seen; // a word added twice has one sound
        for (const TWordRecord *record : index.tab(t).entries) {
            if (record->isBase() || record->headword().empty())
                continue;
            std::string path = userSoundPath(t, record->headword());
            if (seen.insert(path).second)
                jobs.push_back({ std::move(path), cp1254::toUtf8(record->headword()), false });
        }
        index.tab(t) = TabLists {};
    }
    return Status::success();
}

Status makeUserSound(const std::string &folder, int tab, std::string_view headword,
                     const SoundSettings &settings)
{
    const std::string relative = userSoundPath(tab, headword);
    if (relative.empty())
        return Status::failure(ErrorCode::BadInput,
                               "Only words of the English letters 0-25 get a sound");
    const std::string path = folder + "/" + relative;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec)
        return Status::failure(ErrorCode::WriteError, ec.message(),
                               std::filesystem::path(path).parent_path().string());
    std::unique_ptr<Speech> speech;
    Status st = Speech::open(settings.words, speech);
    if (!st.ok())
        return st;
    std::vector<int16_t> pcm;
    st = speech->speakText(cp1254::toUtf8(headword), pcm);
    if (!st.ok())
        return st;
    Mp3Options mp3 = settings.mp3;
    mp3.inputRate = speech->sampleRate();
    std::string bytes;
    st = encodeMp3(pcm, mp3, bytes);
    if (!st.ok())
        return st;
    // Flushed before the rename: the program enables the word's pronounce button as soon as the
    // file is there, and a crash must not leave it empty.
    return writeFileAtomic(path, bytes);
}

Status loadPhonemeTable(std::string_view tsv,
                        std::array<std::string, kTranscriptionSymbolCount> &phonemes)
{
    std::array<std::string, kTranscriptionSymbolCount> table;
    size_t count = 0;
    const Status read = forEachTableLine(tsv, [&](int lineNumber, std::string_view line) {
        const auto bad = [lineNumber](const std::string &why) {
            return Status::failure(ErrorCode::BadFormat,
                                   "Transcription sound table, line " + std::to_string(lineNumber)
                                       + ": " + why);
        };
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return bad("no tab between symbol and phonemes");
        const std::string_view symbol = line.substr(0, tab);
        std::string_view rest = line.substr(tab + 1);
        const std::string_view sounds = rest.substr(0, rest.find('\t'));
        if (count >= kTranscriptionSymbolCount)
            return bad("more than " + std::to_string(kTranscriptionSymbolCount) + " symbols");
        const std::string_view expected = transcriptionSymbols()[count];
        if (symbol != expected)
            return bad("symbol \"" + std::string(symbol) + "\" where sound "
                       + std::to_string(count + 1) + " is \"" + std::string(expected) + "\"");
        if (sounds.empty())
            return bad("no phonemes");
        if (std::any_of(sounds.begin(), sounds.end(),
                        [](char c) { return c <= ' ' || c > '~' || c == '[' || c == ']'; }))
            return bad("phonemes may only hold printable ASCII without blanks and brackets");
        table[count++] = std::string(sounds);
        return Status::success();
    });
    if (!read.ok())
        return read;
    if (count != kTranscriptionSymbolCount)
        return Status::failure(ErrorCode::BadFormat,
                               "Transcription sound table: " + std::to_string(count)
                                   + " symbols instead of "
                                   + std::to_string(kTranscriptionSymbolCount));
    phonemes = std::move(table);
    return Status::success();
}

std::vector<SoundJob>
transcriptionSoundJobs(const std::array<std::string, kTranscriptionSymbolCount> &phonemes)
{
    std::vector<SoundJob> jobs;
    for (int n = 1; n <= kTranscriptionSymbolCount; ++n)
        jobs.push_back({ transcriptionSoundPath(n), phonemes[static_cast<size_t>(n - 1)], true });
    return jobs;
}

SoundManifest parseManifest(std::string_view text)
{
    SoundManifest manifest;
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line(text.substr(pos, end - pos));
        pos = end + 1;
        if (first) {
            first = false;
            if (line != kManifestHeader)
                return {}; // another format: make everything again
            continue;
        }
        char path[512];
        uint64_t definition = 0;
        uint64_t size = 0;
        if (line.size() < sizeof path
            && std::sscanf(line.c_str(), "%16" SCNx64 " %20" SCNu64 " %511s", &definition, &size,
                           path)
                == 3)
            manifest[path] = { definition, size };
    }
    return manifest;
}

std::string formatManifest(const SoundManifest &manifest)
{
    std::string out = std::string(kManifestHeader) + "\n";
    char line[64];
    for (const auto &[path, entry] : manifest) {
        std::snprintf(line, sizeof line, "%016" PRIx64 " %" PRIu64 " ", entry.definition,
                      entry.size);
        out += line + path + "\n";
    }
    return out;
}

Status makeSounds(const std::string &folder, const std::vector<SoundJob> &jobs,
                  const SoundRunOptions &options, SoundReport &report)
{
    report = SoundReport {};
    const auto started = Clock::now();
    report.planned = jobs.size();

    std::string manifestText;
    const std::string manifestPath = folder + "/" + std::string(kManifestName);
    const SoundManifest old = readWholeFile(manifestPath, manifestText).ok()
        ? parseManifest(manifestText)
        : SoundManifest {};

    std::unordered_set<std::string> planned;
    SoundManifest current;
    std::vector<size_t> todo;
    std::vector<uint64_t> definitions(jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
        const SoundJob &job = jobs[i];
        if (!planned.insert(job.path).second)
            return Status::failure(ErrorCode::BadInput, "Two sounds for one file", job.path);
        definitions[i] = soundDefinition(job, options.settings);
        const auto it = old.find(job.path);
        uint64_t size = 0;
        if (it != old.end() && it->second.definition == definitions[i]
            && fileSize(folder + "/" + job.path, size) && size == it->second.size) {
            current[job.path] = it->second;
            ++report.kept;
        } else {
            todo.push_back(i);
        }
    }

    std::error_code ec;
    for (const size_t i : todo) {
        const std::filesystem::path dir
            = std::filesystem::path(folder + "/" + jobs[i].path).parent_path();
        std::filesystem::create_directories(dir, ec);
        if (ec)
            return Status::failure(ErrorCode::WriteError, ec.message(), dir.string());
    }
    report.removed = removeUnplannedSounds(folder, planned);

    Status result;
    if (!todo.empty()) {
        ProgressLine progress(options.progress, options.progressInPlace, todo.size());
        size_t done = 0;
        std::vector<size_t> finished;
        WorkerPool pool(folder, jobs, options.settings);
        report.workers = static_cast<int>(std::min<size_t>(
            static_cast<size_t>(std::clamp(options.workers, 1, kMaxWorkers)), todo.size()));
        result = pool.run(
            todo, options.workers,
            [&](size_t job, long long samples) {
                finished.push_back(job);
                ++done;
                if (samples == 0)
                    ++report.silent;
            },
            [&] { progress.update(done); });
        progress.finish(done, result.ok());
        report.made = done;
        for (const size_t i : finished) {
            uint64_t size = 0;
            if (fileSize(folder + "/" + jobs[i].path, size))
                current[jobs[i].path] = { definitions[i], size };
        }
    }

    report.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (todo.empty() && current == old)
        return Status::success(); // nothing changed, not even the record

    // The record only names files that are on disk for good.
    Status st = syncFileSystem(folder);
    if (st.ok())
        st = writeFileAtomic(manifestPath, formatManifest(current));
    report.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return result.ok() ? st : result;
}

namespace {

class SoundStage : public BuildStage
{
public:
    std::string name() const override { return "sound"; }
    std::string summary() const override
    {
        return "MP3s of the English base headwords (wave/), of the words the user added "
               "(usersound/) and of the 48 transcription symbols (trans/)";
    }

    Status run(BuildContext &context) override
    {
        const BuildOptions &options = context.options;
        std::vector<SoundJob> jobs;
        Status st = headwordSoundJobs(options.outDir, jobs);
        const size_t headwords = jobs.size();
        if (st.ok())
            st = userSoundJobs(options.outDir, jobs);
        const size_t userWords = jobs.size() - headwords;
        std::array<std::string, kTranscriptionSymbolCount> phonemes;
        if (st.ok())
            st = loadPhonemeTable(builtinPhonemeTable(), phonemes);
        if (!st.ok())
            return st;
        const std::vector<SoundJob> symbols = transcriptionSoundJobs(phonemes);
        jobs.insert(jobs.end(), symbols.begin(), symbols.end());

        SoundRunOptions run;
        run.workers = options.soundWorkers > 0
            ? options.soundWorkers
            : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 8U));
        run.progress = options.progress;
        run.progressInPlace = options.progressInPlace;
        SoundReport report;
        st = makeSounds(options.outDir, jobs, run, report);
        context.log << "Sounds: " << headwords << " headwords";
        if (userWords > 0)
            context.log << ", " << userWords << " words added by the user";
        context.log << " and " << symbols.size() << " transcription symbols; " << report.kept
                    << " kept, " << report.made << " made";
        if (report.made > 0)
            context.log << " by " << report.workers << " worker"
                        << (report.workers == 1 ? "" : "s");
        if (report.silent > 0)
            context.log << " (" << report.silent << " with nothing to speak, written as silence)";
        if (report.removed > 0)
            context.log << ", " << report.removed << " old sound files removed";
        context.log << "\n";
        return st;
    }
};

} // namespace

std::unique_ptr<BuildStage> makeSoundStage()
{
    return std::make_unique<SoundStage>();
}

} // namespace zarel::dicttool
