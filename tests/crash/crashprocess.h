// Child processes for the crash tests: running a tool to its end, starting a program in a
// process group of its own and killing the whole group as a power loss would, and the random
// seed the tests print.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace zarel::crash {

// A number from the environment, or `fallback` when the variable is unset or empty.
int environmentNumber(const char *name, long fallback);

// The seed of a test's random kill times: ZAREL_CRASH_SEED when set, otherwise a fixed
// constant, so a run in CI is repeatable (as far as timing allows). The caller prints it.
unsigned crashSeed();

// In a forked child: replaces the process with args[0] run with `args`; exits 127 if it cannot.
[[noreturn]] void execOrExit(const std::vector<std::string> &args);

// Runs a program with stdout and stderr into `logPath`; its exit code, or -1.
int runTool(const std::vector<std::string> &args, const std::string &logPath);

// The text of a log file, or "(no output)".
std::string logText(const std::string &path);

// A program started in a new process group, with stdout and stderr into a log file and extra
// environment variables (an empty value unsets the variable). The destructor kills the group.
class ProcessGroup
{
public:
    ProcessGroup(const std::vector<std::string> &args, const std::string &logPath,
                 const std::map<std::string, std::string> &environment);
    ~ProcessGroup();
    ProcessGroup(const ProcessGroup &) = delete;
    ProcessGroup &operator=(const ProcessGroup &) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // The program the group leader runs now (/proc/PID/exe), empty once it has ended.
    std::string leaderProgram() const;
    // True once the leader has ended by itself (reaped here); its wait status in `status`.
    bool ended(int *status = nullptr);
    // SIGKILL to every process of the group, then waits until none is left (the test process is
    // made the subreaper of its descendants, so the group's orphans are reaped here too).
    void killAll();

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
};

} // namespace zarel::crash
