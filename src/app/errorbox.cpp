// Error reporting for the windows: QMessageBox::critical, or the reporter a test installed.
#include "app/errorbox.h"

#include <utility>

#include <QApplication>
#include <QFile>
#include <QMessageBox>

namespace zarel::app {

namespace {

ErrorReporter &installedReporter()
{
    static ErrorReporter reporter;
    return reporter;
}

} // namespace

void reportError(QWidget *parent, const QString &text)
{
    if (const ErrorReporter &reporter = installedReporter()) {
        reporter(parent, text);
        return;
    }
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(installedReporter(), std::move(reporter));
}

QString errorText(const Status &status)
{
    QString text = QString::fromStdString(status.message);
    if (!status.path.empty())
        text += QLatin1Char('\n') + QFile::decodeName(status.path.c_str());
    return text;
}

} // namespace zarel::app
