// The modal questions the main window asks: Yes/No confirmation and the list-file dialogs, each
// with a hook so tests can answer without a modal dialog.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace zarel::app {

// The language of the program's own dialogs and of Qt's standard ones (file dialogs, message
// box buttons): Qt's Turkish translations are installed while the interface is Turkish.
// False when Turkish was asked for and Qt's translation file could not be loaded (the dialogs
// then stay in English, except for the Yes/No buttons, which this unit names itself).
bool setDialogLanguage(bool turkish);
bool dialogLanguageTurkish();

// Asks `text` with Yes and No ("Evet"/"Hayır" in the Turkish interface); true for Yes.
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
