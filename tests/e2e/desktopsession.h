// A private X display (Xvfb, no window manager) for end-to-end runs of the program, the X tools
// that drive it (xdotool, xclip, import) and the program's own process on that display.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zarel::e2e {

struct ToolResult
{
    bool finished = false; // false: it could not start, crashed or ran out of time (killed)
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
    bool ok() const { return finished && exitCode == 0; }
};

// Makes a process started afterwards die with this one, also when this one is killed, so no
// server or program outlives a crashed or timed-out test run.
void dieWithParent(QProcess &process);

// Ends a process: SIGTERM, then SIGKILL after `graceMs`; waits for it either way.
void endProcess(QProcess &process, int graceMs = 3000);

// Calls `condition` every `intervalMs` until it returns true or `timeoutMs` has passed; returns
// whether it held.
bool pollUntil(const std::function<bool()> &condition, int timeoutMs, int intervalMs = 100);

class XDisplay
{
public:
    static constexpr QSize kScreenSize { 1024, 768 };

    XDisplay() = default;
    XDisplay(const XDisplay &) = delete;
    XDisplay &operator=(const XDisplay &) = delete;
    // Ends the server.
    ~XDisplay();

    // The first program the runs need (Xvfb, xdotool, xclip, import) that is not on the PATH;
    // empty when all are there.
    static QString missingTool();

    // Starts Xvfb on a display number it chooses itself (-displayfd), one screen of
    // kScreenSize. False with `error` set when it does not come up within 20 s.
    bool start(QString *error);
    // The current environment with DISPLAY naming this server and no Wayland display.
    QProcessEnvironment environment() const;

    // Runs `program` on this display, feeding it `input`; killed after `timeoutMs`.
    ToolResult run(const QString &program, const QStringList &args, int timeoutMs = 10000,
                   const QByteArray &input = {}) const;
    ToolResult xdotool(const QStringList &args, int timeoutMs = 10000) const;

    // The visible windows whose name matches the extended regular expression `name`.
    QStringList visibleWindows(const QString &name) const;
    // The visible windows whose class name (WM_CLASS instance) matches `classname`; finds the
    // windows whose title Qt leaves out of WM_NAME.
    QStringList visibleWindowsOfClass(const QString &classname) const;
    // Waits up to `timeoutMs` for a visible window named `name` (xdotool search --sync).
    QStringList waitForWindows(const QString &name, int timeoutMs) const;
    // The position and size of a window on the screen.
    std::optional<QRect> windowGeometry(const QString &window) const;

    // Moves the pointer to a screen position and clicks the left button.
    bool click(QPoint at) const;
    bool moveMouse(QPoint at) const;
    // Where the pointer is; nothing when it cannot be asked.
    std::optional<QPoint> pointer() const;
    // Types text into the window with the keyboard focus.
    bool type(const QString &text) const;
    // Presses keys by their X names ("Return", "alt+F4", "Down").
    bool keys(const QStringList &names) const;
    // Gives a window the keyboard focus and waits until it has it.
    bool focus(const QString &window) const;

    // A screenshot of the whole screen, kept in `file` (PNG); a null image when it failed.
    QImage screenshot(const QString &file) const;

private:
    // The xdotool arguments that move the pointer to `at` and wait until it is there.
    QStringList moveArgs(QPoint at) const;

    QProcess m_server;
    QString m_display;
};

// The program under test on an XDisplay: started in its data folder as the launcher starts it,
// its output kept in a log file, ended on destruction whatever state it is in.
class ProgramRun
{
public:
    static constexpr const char *kTitle = "Zarel English Dictionary";
    static constexpr const char *kClassName = "zarel-dictionary";
    static constexpr int kClientWidth = 612;
    static constexpr int kClientHeight = 320;

    ProgramRun(const XDisplay &display, QString program, QString dataFolder, QString logFile);
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;
    ~ProgramRun();

    // Starts the program and waits up to `timeoutMs` for its main window to be shown.
    bool start(QString *error, int timeoutMs = 30000);
    // Waits for the process to end; its exit code, or nothing when it did not end in time or
    // crashed.
    std::optional<int> waitForExit(int timeoutMs);
    bool running() const;

    // The main window's X id and its place on the screen as found at start.
    const QString &window() const { return m_window; }
    QRect geometry() const { return m_geometry; }
    // The height of the menu bar above the client area.
    int menuBarHeight() const { return m_geometry.height() - kClientHeight; }
    // The screen position of a point of the client area (below the menu bar).
    QPoint clientPoint(int x, int y) const;
    // A client-area rectangle in screen coordinates.
    QRect clientRect(const QRect &r) const;
    // Whether the main window is shown.
    bool mainWindowVisible() const;

private:
    const XDisplay &m_display;
    QString m_program;
    QString m_dataFolder;
    QString m_logFile;
    QProcess m_process;
    QString m_window;
    QRect m_geometry;
};

} // namespace zarel::e2e
