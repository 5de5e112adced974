// Command-line parsing and the commands of zarel-dict.
#include "zarel-dict/cli.h"

#include "zarel-dict/builder.h"
#include "zarel-dict/soundstage.h"
#include "zarel-dict/treecheck.h"

#include "dictionary/codepage1254.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string_view>

#include <unistd.h>

namespace zarel::dicttool {

namespace {

// The version of the data the builder writes. scripts/run.sh rebuilds a data folder stamped with
// another version, so change it whenever the builder writes different files: their format, their
// order or what goes into them.
constexpr std::string_view kDataVersion = "zarel-data-3";

// The data version as printed: kDataVersion followed by ZAREL_DATA_VERSION_SUFFIX when that is
// set, so a test (or a packager) can make the launcher see a newer builder without rebuilding it.
std::string dataVersion()
{
    std::string version(kDataVersion);
    if (const char *suffix = std::getenv("ZAREL_DATA_VERSION_SUFFIX"))
        version += suffix;
    return version;
}

void printUsage(std::ostream &out)
{
    out << "Usage:\n"
           "  zarel-dict build [--compress] [--no-sound] [--source DIR] [--stages LIST] OUTDIR\n"
           "      Builds the dictionary tree (eg/ and tr/) and its sounds (wave/, trans/)\n"
           "      into OUTDIR from the FreeDict files in DIR (default /usr/share/dictd).\n"
           "      Over an existing tree, every word the user added is kept: its index\n"
           "      record is carried into the new index and the user_*.ref files are left\n"
           "      as they are; an interrupted build is finished by running it again.\n"
           "      --compress writes the article files SZDD-compressed. --no-sound skips\n"
           "      the sounds. Sounds whose word and settings are unchanged are kept from\n"
           "      the last build. LIST names stages separated by commas (default: all):\n";
    for (const auto &stage : makeStages())
        out << "        " << stage->name() << ": " << stage->summary() << "\n";
    out << "  zarel-dict check DIR\n"
           "      Checks a tree: files of every tab, record ranges, articles; exit status 1\n"
           "      on any problem.\n"
           "  zarel-dict list DIR TAB\n"
           "      Prints the headwords of a tab: 0-55, an English letter a-z, or a Turkish\n"
           "      capital A, Ç, İ, ... for the Turkish-English tabs.\n"
           "  zarel-dict show DIR WORD\n"
           "      Prints the article of a headword as plain text.\n"
           "  zarel-dict speak DIR TAB WORD\n"
           "      Makes the sound of a word the user added to an English tab (0-25 or a-z)\n"
           "      as the build makes the headword sounds, in DIR/usersound/<tab+1>/.\n"
           "  zarel-dict --data-version\n"
           "      Prints the version of the data this builder writes, on one line, followed\n"
           "      by the value of ZAREL_DATA_VERSION_SUFFIX when that is set. The launcher\n"
           "      rebuilds a data folder stamped with another version.\n";
}

int usageError(std::ostream &err, const std::string &message)
{
    err << "zarel-dict: " << message << "\n\n";
    printUsage(err);
    return 1;
}

int failure(std::ostream &err, const Status &st)
{
    err << "zarel-dict: " << st.message;
    if (!st.path.empty())
        err << ": " << st.path;
    err << "\n";
    return 1;
}

std::vector<std::string> splitList(const std::string &text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

int runBuildCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    BuildOptions options;
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--compress") {
            options.compress = true;
        } else if (a == "--no-sound") {
            options.skippedStages.push_back("sound");
        } else if (a == "--source" || a == "--stages") {
            if (i + 1 >= args.size())
                return usageError(err, a + " needs a value");
            const std::string &value = args[++i];
            if (a == "--source")
                options.sourceDir = value;
            else
                options.stages = splitList(value);
        } else if (a.starts_with("--")) {
            return usageError(err, "unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 1)
        return usageError(err, "build needs exactly one output folder");
    options.outDir = positional.front();
    options.progress = &err;
    // Rewriting the progress line in place only makes sense on a terminal.
    options.progressInPlace = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    const Status st = runBuild(options, out);
    return st.ok() ? 0 : failure(err, st);
}

} // namespace

int runCommandLine(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.empty())
        return usageError(err, "no command given");
    const std::string &command = args.front();
    if (command == "help" || command == "--help" || command == "-h") {
        printUsage(out);
        return 0;
    }
    if (command == "--data-version") {
        if (args.size() != 1)
            return usageError(err, "--data-version takes no arguments");
        out << dataVersion() << "\n";
        return 0;
    }
    if (command == "build")
        return runBuildCommand(args, out, err);
    if (command == "check") {
        if (args.size() != 2)
            return usageError(err, "check needs one folder");
        const CheckResult result = checkTree(args[1]);
        printCheck(result, out);
        return result.ok() ? 0 : 1;
    }
    if (command == "list") {
        if (args.size() != 3)
            return usageError(err, "list needs a folder and a tab");
        const int tab = parseTab(args[2]);
        if (tab < 0)
            return usageError(err, "no such tab: " + args[2]);
        const Status st = listTab(args[1], tab, out);
        return st.ok() ? 0 : failure(err, st);
    }
    if (command == "speak") {
        if (args.size() != 4)
            return usageError(err, "speak needs a folder, a tab and a word");
        const int tab = parseTab(args[2]);
        if (tab < 0)
            return usageError(err, "no such tab: " + args[2]);
        bool lossless = false;
        const std::string headword = cp1254::fromUtf8(args[3], '?', &lossless);
        if (!lossless)
            return usageError(err, "the word holds a character outside code page 1254");
        const Status st = makeUserSound(args[1], tab, headword);
        return st.ok() ? 0 : failure(err, st);
    }
    if (command == "show") {
        if (args.size() != 3)
            return usageError(err, "show needs a folder and a word");
        std::vector<FoundArticle> found;
        const Status st = findArticles(args[1], args[2], found);
        if (!st.ok())
            return failure(err, st);
        if (found.empty()) {
            err << "zarel-dict: no headword \"" << args[2] << "\"\n";
            return 1;
        }
        for (size_t i = 0; i < found.size(); ++i) {
            if (i > 0)
                out << "\n";
            out << "[tab " << tabName(found[i].tab) << "]\n" << found[i].text << "\n";
        }
        return 0;
    }
    return usageError(err, "unknown command " + command);
}

} // namespace zarel::dicttool
