// The standard error message box of the program's windows, with a hook that lets tests
// capture the text instead of blocking on a modal box.
#pragma once

#include "platform/result.h"

#include <functional>

#include <QString>

class QWidget;

namespace zarel::app {

using ErrorReporter = std::function<void(QWidget *parent, const QString &text)>;

// Shows `text` in a critical message box titled with the application name, or hands it to
// the installed reporter.
void reportError(QWidget *parent, const QString &text);

// Installs a reporter (an empty one restores the message box) and returns the previous one.
ErrorReporter setErrorReporter(ErrorReporter reporter);

// The text of a failed status: its message, and the path on the next line when there is one
// ("File not found" and the path of the missing file).
QString errorText(const Status &status);

} // namespace zarel::app
