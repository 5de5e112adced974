// The modal questions the main window asks: Yes/No confirmation and the list-file dialogs, each
// with a hook so tests can answer without a modal dialog.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace zarel::app {

// Asks `text` with Yes and No; true for Yes.
bool confirm(QWidget *parent, const QString &text);
using ConfirmHook = std::function<bool(const QString &text)>;
ConfirmHook setConfirmHook(ConfirmHook hook);

struct FileDialogRequest
{
    bool save = false;
    QString title;
    QString filter; // "Zarel English Dictionary (*.DIC)"
    QString defaultSuffix; // "DIC"
};

// Runs the open or save dialog; an empty result means the user cancelled.
QString chooseFile(QWidget *parent, const FileDialogRequest &request);
using FileDialogHook = std::function<QString(const FileDialogRequest &request)>;
FileDialogHook setFileDialogHook(FileDialogHook hook);

} // namespace zarel::app
