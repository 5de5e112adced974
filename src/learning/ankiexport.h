// Export of the word list as a text file that Anki's "Import File" reads as it stands: tab
// separated, HTML allowed, three columns (front, back, sound), the sounds copied beside it.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace zarel::methods {
class MethodHost;
}

namespace zarel::learning {

// One note of the export. `front` and `back` are HTML; `sound` is the file name the note's
// sound has beside the export (empty for none).
struct AnkiNote
{
    QString front;
    QString back;
    QString sound;
};

// The export file's UTF-8 text: the header lines "#separator:tab", "#html:true" and
// "#columns:Front<TAB>Back<TAB>Sound", then one line per note. Tabs and line breaks inside a
// field become spaces, so every line has exactly three fields.
std::string ankiFileText(const std::vector<AnkiNote> &notes);

// Plain text as simple HTML: &, <, > and " escaped, line breaks as <br>.
QString plainToHtml(const QString &text);

struct AnkiExportResult
{
    bool ok = false;
    int notes = 0;
    int sounds = 0; // sound files copied beside the export
    QString message; // for the user, in the interface language: where the file and sounds are
};

// Writes the main window's word list (English and Turkish entries) to `filePath`: the front is
// the headword with its transcription, the back the article as simple HTML, the third column
// "[sound:<file>]" for an English base headword whose pronunciation is installed, the MP3
// copied beside the export as "zarel-<tab>-<number>.mp3". Every file is written to a
// temporary file and renamed. Entries without a headword in the dictionary export their text
// alone; a word listed twice is exported once. The back leaves out the headword and
// transcription the front shows. The main window's lookup controls are left as they are.
AnkiExportResult exportForAnki(const zarel::methods::MethodHost &host, const QString &filePath,
                               bool english);

} // namespace zarel::learning
