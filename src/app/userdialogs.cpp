// Confirmation and file dialogs, or the answers a test installed.
#include "app/userdialogs.h"

#include <utility>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zarel::app {

namespace {

ConfirmHook &confirmHook()
{
    static ConfirmHook hook;
    return hook;
}

FileDialogHook &fileDialogHook()
{
    static FileDialogHook hook;
    return hook;
}

} // namespace

bool confirm(QWidget *parent, const QString &text)
{
    if (const ConfirmHook &hook = confirmHook())
        return hook(text);
    return QMessageBox::question(parent, QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

ConfirmHook setConfirmHook(ConfirmHook hook)
{
    return std::exchange(confirmHook(), std::move(hook));
}

QString chooseFile(QWidget *parent, const FileDialogRequest &request)
{
    if (const FileDialogHook &hook = fileDialogHook())
        return hook(request);
    QFileDialog dialog(parent, request.title, QString(), request.filter);
    dialog.setObjectName(request.save ? QStringLiteral("SaveDialog1")
                                      : QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

FileDialogHook setFileDialogHook(FileDialogHook hook)
{
    return std::exchange(fileDialogHook(), std::move(hook));
}

} // namespace zarel::app
