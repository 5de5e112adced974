// The main window's entries of the learning history: "Review due words first" (Options),
// "Learning progress" (Tools) and "Export for Anki…" (File), created and wired in one call.
#pragma once

namespace zarel::methods {
class MethodHost;
}

class QAction;
class QMenu;
class QWidget;

namespace zarel::learning {

struct LearningActions
{
    QAction *reviewDueFirst = nullptr; // checkable; its state lives in the history's settings
    QAction *progress = nullptr; // opens TLearningProgress
    QAction *exportForAnki = nullptr; // asks for a file name and exports the word list
};

// Adds the three entries to the given menus of the main window `host` (the export before the
// last entry of `fileMenu`, its exit) and wires them. Their captions follow the host's interface
// language now and whenever it changes. The history of the data folder
// is opened only when an entry is used or the Options menu opens.
LearningActions addLearningActions(zarel::methods::MethodHost &host, QMenu *fileMenu,
                                   QMenu *optionsMenu, QMenu *toolsMenu);

// Sets the captions in the given language.
void setLearningTexts(const LearningActions &actions, bool english);

// The history's notice about its file (set aside or not kept), shown once in a message box
// over `parent`; nothing when there is none.
void showHistoryNotice(zarel::methods::MethodHost &host, QWidget *parent);

} // namespace zarel::learning
