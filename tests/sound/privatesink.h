// A sink of its own on the sound server for one test, made the default sink and source (its
// monitor) of this process's sound clients, so that tests running at the same time neither hear
// nor disturb each other. It is remapped onto the server's default sink and keeps that sink's
// timing and short latency.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <unistd.h>

namespace zarel::test {

class PrivateSink
{
public:
    PrivateSink()
    {
        if (std::system("pactl info >/dev/null 2>&1") != 0)
            return;
        m_name = "zarel_test_" + std::to_string(::getpid());
        const std::string command = "pactl load-module module-remap-sink sink_name=" + m_name
            + " master=$(pactl get-default-sink) 2>/dev/null";
        FILE *pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr)
            return;
        char line[64] = {};
        const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
        if (::pclose(pipe) != 0 || !read)
            return;
        m_module = std::atoi(line);
        remember("PULSE_SINK", m_previousSink);
        remember("PULSE_SOURCE", m_previousSource);
        ::setenv("PULSE_SINK", m_name.c_str(), 1);
        ::setenv("PULSE_SOURCE", monitor().c_str(), 1);
    }

    ~PrivateSink()
    {
        if (m_module < 0)
            return;
        restore("PULSE_SINK", m_previousSink);
        restore("PULSE_SOURCE", m_previousSource);
        std::system(("pactl unload-module " + std::to_string(m_module)).c_str());
    }

    PrivateSink(const PrivateSink &) = delete;
    PrivateSink &operator=(const PrivateSink &) = delete;

    // False when no sound server is reachable or the sink could not be made.
    bool ok() const { return m_module >= 0; }
    const std::string &name() const { return m_name; }
    std::string monitor() const { return m_name + ".monitor"; }

    // Sets the sink's volume in the server's raw units (65536 is 100 %).
    bool setVolume(unsigned long raw) const
    {
        const std::string command = "pactl set-sink-volume " + m_name + " " + std::to_string(raw);
        return std::system(command.c_str()) == 0;
    }

private:
    static void remember(const char *name, std::optional<std::string> &value)
    {
        if (const char *current = std::getenv(name))
            value = current;
    }
    static void restore(const char *name, const std::optional<std::string> &value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::string m_name;
    int m_module = -1;
    std::optional<std::string> m_previousSink;
    std::optional<std::string> m_previousSource;
};

} // namespace zarel::test
