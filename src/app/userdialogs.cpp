// Confirmation and file dialogs, or the answers a test installed.
#include "app/userdialogs.h"

#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

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

struct DialogLanguage
{
    bool turkish = false;
    QTranslator *qtTranslator = nullptr; // owned by the application
};

DialogLanguage &dialogLanguage()
{
    static DialogLanguage language;
    return language;
}

} // namespace

bool setDialogLanguage(bool turkish)
{
    DialogLanguage &language = dialogLanguage();
    language.turkish = turkish;
    if (!turkish) {
        if (language.qtTranslator != nullptr) {
            QCoreApplication::removeTranslator(language.qtTranslator);
            delete language.qtTranslator;
            language.qtTranslator = nullptr;
        }
        return true;
    }
    if (language.qtTranslator != nullptr)
        return true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Turkish, QLocale::Turkey), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    language.qtTranslator = translator;
    return true;
}

bool dialogLanguageTurkish()
{
    return dialogLanguage().turkish;
}

bool confirm(QWidget *parent, const QString &text)
{
    if (const ConfirmHook &hook = confirmHook())
        return hook(text);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(u"Confirmation"_s);
    const bool turkish = dialogLanguageTurkish();
    box.button(QMessageBox::Yes)->setText(turkish ? u"Evet"_s : u"Yes"_s);
    box.button(QMessageBox::No)->setText(turkish ? u"Hayır"_s : u"No"_s);
    return box.exec() == QMessageBox::Yes;
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
