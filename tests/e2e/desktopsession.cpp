// The private X display, the X tools that drive it and the program's process on it.
#include "desktopsession.h"

#include <csignal>

#include <sys/prctl.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace zarel::e2e {

void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void endProcess(QProcess &process, int graceMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(graceMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool pollUntil(const std::function<bool()> &condition, int timeoutMs, int intervalMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(static_cast<unsigned long>(intervalMs));
    }
}

XDisplay::~XDisplay()
{
    endProcess(m_server);
}

QString XDisplay::missingTool()
{
    for (const QString &tool : { u"Xvfb"_s, u"xdotool"_s, u"xclip"_s, u"import"_s })
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    return {};
}

bool XDisplay::start(QString *error)
{
    dieWithParent(m_server);
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd 1: the server picks a free display number and writes it to standard output
    // once it accepts connections. -noreset keeps it from resetting between programs.
    m_server.start(u"Xvfb"_s,
                   { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s,
                     u"%1x%2x24"_s.arg(kScreenSize.width()).arg(kScreenSize.height()),
                     u"-nolisten"_s, u"tcp"_s, u"-noreset"_s });
    if (!m_server.waitForStarted(10000)) {
        *error = u"Xvfb did not start: "_s + m_server.errorString();
        return false;
    }
    QByteArray out;
    const QDeadlineTimer deadline(20000);
    while (!out.contains('\n') && !deadline.hasExpired()) {
        if (m_server.state() == QProcess::NotRunning)
            break;
        m_server.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
        out += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = QString::fromLatin1(out.trimmed()).toInt(&ok);
    if (!out.contains('\n') || !ok) {
        *error = u"Xvfb gave no display number: "_s
            + QString::fromLocal8Bit(m_server.readAllStandardError());
        endProcess(m_server);
        return false;
    }
    m_display = u":"_s + QString::number(number);
    return true;
}

QProcessEnvironment XDisplay::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, m_display);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"XAUTHORITY"_s);
    return env;
}

ToolResult XDisplay::run(const QString &program, const QStringList &args, int timeoutMs,
                         const QByteArray &input) const
{
    ToolResult result;
    QProcess process;
    process.setProcessEnvironment(environment());
    dieWithParent(process);
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return result;
    if (!input.isEmpty()) {
        process.write(input);
        process.waitForBytesWritten(timeoutMs);
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        endProcess(process, 0);
        result.errors = "timed out";
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    result.errors += process.readAllStandardError();
    return result;
}

ToolResult XDisplay::xdotool(const QStringList &args, int timeoutMs) const
{
    return run(u"xdotool"_s, args, timeoutMs);
}

namespace {

QStringList windowIds(const ToolResult &r)
{
    if (!r.ok())
        return {};
    return QString::fromLatin1(r.output).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

QStringList XDisplay::visibleWindows(const QString &name) const
{
    return windowIds(xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, name }));
}

QStringList XDisplay::visibleWindowsOfClass(const QString &classname) const
{
    return windowIds(xdotool({ u"search"_s, u"--onlyvisible"_s, u"--classname"_s, classname }));
}

QStringList XDisplay::waitForWindows(const QString &name, int timeoutMs) const
{
    return windowIds(
        xdotool({ u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, name }, timeoutMs));
}

std::optional<QRect> XDisplay::windowGeometry(const QString &window) const
{
    const ToolResult r = xdotool({ u"getwindowgeometry"_s, u"--shell"_s, window });
    if (!r.ok())
        return std::nullopt;
    QRect rect;
    int found = 0;
    for (const QString &line : QString::fromLatin1(r.output).split(u'\n', Qt::SkipEmptyParts)) {
        const QString key = line.section(u'=', 0, 0);
        const int value = line.section(u'=', 1).toInt();
        if (key == u"X"_s)
            rect.moveLeft(value);
        else if (key == u"Y"_s)
            rect.moveTop(value);
        else if (key == u"WIDTH"_s)
            rect.setWidth(value);
        else if (key == u"HEIGHT"_s)
            rect.setHeight(value);
        else
            continue;
        ++found;
    }
    if (found != 4)
        return std::nullopt;
    return rect;
}

std::optional<QPoint> XDisplay::pointer() const
{
    const ToolResult r = xdotool({ u"getmouselocation"_s, u"--shell"_s });
    if (!r.ok())
        return std::nullopt;
    QPoint at;
    bool haveX = false;
    bool haveY = false;
    for (const QByteArray &line : r.output.split('\n')) {
        if (line.startsWith("X="))
            at.setX(line.mid(2).toInt(&haveX));
        else if (line.startsWith("Y="))
            at.setY(line.mid(2).toInt(&haveY));
    }
    if (!haveX || !haveY)
        return std::nullopt;
    return at;
}

QStringList XDisplay::moveArgs(QPoint at) const
{
    // "--sync" waits until the pointer has moved, which never happens when it is there already.
    QStringList args { u"mousemove"_s };
    if (pointer() != at)
        args << u"--sync"_s;
    return args << QString::number(at.x()) << QString::number(at.y());
}

bool XDisplay::moveMouse(QPoint at) const
{
    return xdotool(moveArgs(at)).ok();
}

bool XDisplay::click(QPoint at) const
{
    return xdotool(moveArgs(at) << u"click"_s << u"1"_s).ok();
}

bool XDisplay::type(const QString &text) const
{
    return xdotool({ u"type"_s, u"--delay"_s, u"40"_s, text }).ok();
}

bool XDisplay::keys(const QStringList &names) const
{
    return xdotool(QStringList { u"key"_s, u"--delay"_s, u"60"_s } + names).ok();
}

bool XDisplay::focus(const QString &window) const
{
    return xdotool({ u"windowfocus"_s, u"--sync"_s, window }).ok();
}

QImage XDisplay::screenshot(const QString &file) const
{
    if (!run(u"import"_s, { u"-window"_s, u"root"_s, u"png:"_s + file }, 30000).ok())
        return {};
    return QImage(file);
}

ProgramRun::ProgramRun(const XDisplay &display, QString program, QString dataFolder,
                       QString logFile)
    : m_display(display)
    , m_program(std::move(program))
    , m_dataFolder(std::move(dataFolder))
    , m_logFile(std::move(logFile))
{ }

ProgramRun::~ProgramRun()
{
    endProcess(m_process);
}

bool ProgramRun::start(QString *error, int timeoutMs)
{
    QProcessEnvironment env = m_display.environment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_dataFolder);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_logFile);
    dieWithParent(m_process);
    m_process.start(m_program, {});
    if (!m_process.waitForStarted(10000)) {
        *error = u"the program did not start: "_s + m_process.errorString();
        return false;
    }
    // The splash shows first; the main window is the visible one of the designed width.
    const QString title = u"^%1$"_s.arg(QLatin1StringView(kTitle));
    const bool shown = pollUntil(
        [&] {
            if (!running())
                return true;
            for (const QString &w : m_display.visibleWindows(title)) {
                const std::optional<QRect> g = m_display.windowGeometry(w);
                if (g && g->width() == kClientWidth && g->height() > kClientHeight) {
                    m_window = w;
                    m_geometry = *g;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 50);
    if (!running()) {
        *error = u"the program ended at start-up (exit code %1), see %2"_s.arg(m_process.exitCode())
                     .arg(m_logFile);
        return false;
    }
    if (!shown || m_window.isEmpty()) {
        *error = u"no main window within %1 ms"_s.arg(timeoutMs);
        return false;
    }
    return true;
}

bool ProgramRun::running() const
{
    auto &process = const_cast<QProcess &>(m_process);
    return process.state() != QProcess::NotRunning && !process.waitForFinished(0);
}

std::optional<int> ProgramRun::waitForExit(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
        return std::nullopt;
    if (m_process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return m_process.exitCode();
}

QPoint ProgramRun::clientPoint(int x, int y) const
{
    return m_geometry.topLeft() + QPoint(x, menuBarHeight() + y);
}

QRect ProgramRun::clientRect(const QRect &r) const
{
    return r.translated(clientPoint(0, 0));
}

bool ProgramRun::mainWindowVisible() const
{
    return m_display.visibleWindows(u"^%1$"_s.arg(QLatin1StringView(kTitle))).contains(m_window);
}

} // namespace zarel::e2e
