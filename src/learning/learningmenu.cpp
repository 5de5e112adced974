// The learning entries of the main window's menus and what they do.
#include "learning/learningmenu.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

#include "learning/ankiexport.h"
#include "learning/tlearningprogress.h"
#include "methods/methodsupport.h"

using namespace Qt::StringLiterals;

namespace zarel::learning {

namespace {

using zarel::methods::MethodHost;

void exportWordList(MethodHost &host)
{
    const bool english = host.englishInterface();
    QWidget *window = host.hostWindow();
    const QString suggested = QDir::home().filePath(u"zarel-anki.txt"_s);
    const QString path = QFileDialog::getSaveFileName(
        window, english ? u"Export for Anki"_s : u"Anki için dışa aktar"_s, suggested,
        english ? u"Text files (*.txt)"_s : u"Metin dosyaları (*.txt)"_s);
    if (path.isEmpty())
        return;
    const AnkiExportResult result = exportForAnki(host, path, english);
    if (result.ok)
        QMessageBox::information(window, english ? u"Export for Anki"_s : u"Anki için dışa aktar"_s,
                                 result.message);
    else
        QMessageBox::critical(window, english ? u"Export for Anki"_s : u"Anki için dışa aktar"_s,
                              result.message);
}

} // namespace

void setLearningTexts(const LearningActions &actions, bool english)
{
    actions.reviewDueFirst->setText(english ? u"Review due words first"_s
                                            : u"Önce tekrarı gelen kelimeler"_s);
    actions.progress->setText(english ? u"Learning progress"_s : u"Öğrenme durumu"_s);
    actions.exportForAnki->setText(english ? u"Export for Anki…"_s : u"Anki için dışa aktar…"_s);
}

void showHistoryNotice(MethodHost &host, QWidget *parent)
{
    const bool english = host.englishInterface();
    const QString notice = takeHistoryNotice(methods::learningHistory(host), english);
    if (!notice.isEmpty())
        QMessageBox::warning(parent, english ? u"Learning history"_s : u"Öğrenme geçmişi"_s,
                             notice);
}

LearningActions addLearningActions(MethodHost &host, QMenu *fileMenu, QMenu *optionsMenu,
                                   QMenu *toolsMenu)
{
    LearningActions a;
    a.reviewDueFirst = new QAction(optionsMenu);
    a.reviewDueFirst->setObjectName(u"ReviewDueFirst1"_s);
    a.reviewDueFirst->setCheckable(true);
    optionsMenu->addAction(a.reviewDueFirst);

    a.progress = new QAction(toolsMenu);
    a.progress->setObjectName(u"LearningProgress1"_s);
    toolsMenu->addAction(a.progress);

    a.exportForAnki = new QAction(fileMenu);
    a.exportForAnki->setObjectName(u"ExportForAnki1"_s);
    const QList<QAction *> fileActions = fileMenu->actions();
    if (fileActions.isEmpty()) {
        fileMenu->addAction(a.exportForAnki);
    } else {
        fileMenu->insertAction(fileActions.last(), a.exportForAnki);
        fileMenu->insertSeparator(fileActions.last());
    }

    MethodHost *m = &host;
    // The check mark shows the stored option each time the menu opens.
    QObject::connect(optionsMenu, &QMenu::aboutToShow, a.reviewDueFirst, [m, a] {
        a.reviewDueFirst->setChecked(methods::learningHistory(*m).reviewDueFirst());
    });
    QObject::connect(a.reviewDueFirst, &QAction::triggered, a.reviewDueFirst, [m, a](bool on) {
        LearningHistory &history = methods::learningHistory(*m);
        if (!history.setReviewDueFirst(on))
            a.reviewDueFirst->setChecked(history.reviewDueFirst());
        showHistoryNotice(*m, m->hostWindow());
    });
    QObject::connect(a.progress, &QAction::triggered, a.progress, [m] {
        TLearningProgress window(*m, m->englishInterface(), m->hostWindow());
        window.exec();
    });
    QObject::connect(a.exportForAnki, &QAction::triggered, a.exportForAnki,
                     [m] { exportWordList(*m); });
    host.onInterfaceLanguageChange(a.progress,
                                   [m, a] { setLearningTexts(a, m->englishInterface()); });
    setLearningTexts(a, host.englishInterface());
    return a;
}

} // namespace zarel::learning
