// UserSoundMaker: the builder process for one word, where the builder is found, and the report.
#include "sound/usersoundmaker.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/usersound.h"
#include "platform/fileutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaMethod>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString &chosenBuilder()
{
    static QString path;
    return path;
}

bool isExecutable(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// How long a closing program waits for the one word being spoken (a few hundred milliseconds
// on a slow machine) before it stops the builder.
constexpr int kFinishOnCloseMs = 3000;

} // namespace

QString UserSoundMaker::builderProgram()
{
    if (!chosenBuilder().isEmpty())
        return chosenBuilder();
    const QString here = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        here + QStringLiteral("/zarel-dict"), here + QStringLiteral("/" ZAREL_BUILDER_FROM_PROGRAM),
        here + QStringLiteral("/../../tools/zarel-dict"), // the program or a test in a build tree
    };
    for (const QString &candidate : candidates)
        if (isExecutable(candidate))
            return QDir::cleanPath(candidate);
    return QStandardPaths::findExecutable(QStringLiteral("zarel-dict"));
}

void UserSoundMaker::setBuilderProgram(const QString &path)
{
    chosenBuilder() = path;
}

UserSoundMaker *UserSoundMaker::start(const std::string &folder, int tab,
                                      const std::string &headword, QObject *owner)
{
    const std::string relative = zarel::userSoundPath(tab, headword);
    if (relative.empty())
        return nullptr;
    const QString builder = builderProgram();
    if (builder.isEmpty())
        return nullptr;
    auto *maker = new UserSoundMaker(tab, QByteArray::fromStdString(headword),
                                     folder + "/" + relative, owner);
    QProcess *process = maker->m_process;
    connect(process, &QProcess::finished, maker,
            [maker, process](int exitCode, QProcess::ExitStatus status) {
                maker->report(status == QProcess::NormalExit && exitCode == 0
                              && zarel::fileExists(maker->m_path));
            });
    connect(process, &QProcess::errorOccurred, maker, [maker](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            maker->report(false);
    });
    process->setProgram(builder);
    process->setArguments({ QStringLiteral("speak"), QString::fromStdString(folder),
                            QString::number(tab),
                            QString::fromStdString(zarel::cp1254::toUtf8(headword)) });
    // What the builder says goes to the program's own error output.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start();
    return maker;
}

UserSoundMaker::UserSoundMaker(int tab, const QByteArray &headword, std::string path,
                               QObject *owner)
    : QObject(owner)
    , m_tab(tab)
    , m_headword(headword)
    , m_path(std::move(path))
    , m_process(new QProcess(this))
{ }

UserSoundMaker::~UserSoundMaker()
{
    // The owner is going: nobody is told any more.
    m_reported = true;
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning
        && !m_process->waitForFinished(kFinishOnCloseMs)) {
        m_process->kill();
        m_process->waitForFinished(-1);
    }
}

void UserSoundMaker::report(bool made)
{
    if (m_reported)
        return;
    m_reported = true;
    emit finished(m_tab, m_headword, made);
    QObject *owner = parent();
    if (owner != nullptr
        && owner->metaObject()->indexOfMethod("userSoundFinished(int,QByteArray)") >= 0)
        QMetaObject::invokeMethod(owner, "userSoundFinished", Qt::DirectConnection,
                                  Q_ARG(int, m_tab), Q_ARG(QByteArray, m_headword));
    deleteLater();
}
