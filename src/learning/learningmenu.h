// The main window's entries of the learning history: "Review due words first" (Options),
// "Learning progress" (Tools) and "Export for Anki…" (File), created and wired in one call.
#pragma once

class QAction;
class QMenu;
class QWidget;
class TForm1;

namespace zarel::learning {

struct LearningActions
{
    QAction *reviewDueFirst = nullptr; // checkable; its state lives in the history's settings
    QAction *progress = nullptr; // opens TLearningProgress
    QAction *exportForAnki = nullptr; // asks for a file name and exports the word list
};

// Adds the three entries to the given menus of `main` (the export before the last entry of
// `fileMenu`, its exit) and wires them. Their captions follow the main window's interface
// language (N14 checked: Turkish) now and whenever it changes. The history of the data folder
// is opened only when an entry is used or the Options menu opens.
LearningActions addLearningActions(TForm1 &main, QMenu *fileMenu, QMenu *optionsMenu,
                                   QMenu *toolsMenu);

// Sets the captions in the given language.
void setLearningTexts(const LearningActions &actions, bool english);

// The history's notice about its file (set aside or not kept), shown once in a message box
// over `parent`; nothing when there is none.
void showHistoryNotice(TForm1 &main, QWidget *parent);

} // namespace zarel::learning
