// Child processes of the crash tests: fork and exec, process groups, reaping orphans.
#include "crashprocess.h"

#include "support/testdictionary.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarel::crash {

namespace {

constexpr unsigned kFixedSeed = 20171; // any constant: CI runs repeat the same kill times

} // namespace

int environmentNumber(const char *name, long fallback)
{
    const char *text = std::getenv(name);
    if (!text || !*text)
        return static_cast<int>(fallback);
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

unsigned crashSeed()
{
    return static_cast<unsigned>(environmentNumber("ZAREL_CRASH_SEED", kFixedSeed));
}

void execOrExit(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

int runTool(const std::vector<std::string> &args, const std::string &logPath)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        execOrExit(args);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string logText(const std::string &path)
{
    return zarel::test::exists(path) ? zarel::test::readFile(path) : std::string("(no output)");
}

ProcessGroup::ProcessGroup(const std::vector<std::string> &args, const std::string &logPath,
                           const std::map<std::string, std::string> &environment)
{
    // Orphans of the group (a builder whose launcher was killed first) become our children, so
    // killAll() can wait for them.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::setpgid(0, 0);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (null >= 0)
            ::dup2(null, 0);
        for (const auto &[name, value] : environment) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        execOrExit(args);
    }
    if (m_pid > 0)
        ::setpgid(m_pid, m_pid); // also here, so the group exists before either side goes on
}

ProcessGroup::~ProcessGroup()
{
    if (m_pid > 0)
        killAll();
}

std::string ProcessGroup::leaderProgram() const
{
    std::error_code ec;
    const auto target
        = std::filesystem::read_symlink("/proc/" + std::to_string(m_pid) + "/exe", ec);
    return ec ? std::string() : target.string();
}

bool ProcessGroup::ended(int *status)
{
    if (!m_reaped && m_pid > 0 && ::waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_reaped = true;
    if (status)
        *status = m_status;
    return m_reaped;
}

void ProcessGroup::killAll()
{
    ::kill(-m_pid, SIGKILL);
    if (!m_reaped && ::waitpid(m_pid, &m_status, 0) == m_pid)
        m_reaped = true;
    // The rest of the group: children of the leader reparented to this process.
    for (;;) {
        const pid_t r = ::waitpid(-m_pid, nullptr, 0);
        if (r > 0)
            continue;
        if (r < 0 && errno == EINTR)
            continue;
        break;
    }
}

} // namespace zarel::crash
