// The word list as an Anki import file with its sounds beside it.
#include "learning/ankiexport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include <QFileInfo>
#include <QTextDocument>
#include <QTextEdit>

#include "controls/cp1254text.h"
#include "dictionary/combosearch.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "methods/core/methodrules.h"
#include "methods/methodsupport.h"
#include "platform/fileutil.h"

using namespace Qt::StringLiterals;

namespace zarel::learning {

namespace {

QString oneLine(QString field)
{
    field.replace(u'\t', u' ');
    field.replace(u'\r', u' ');
    field.replace(u'\n', u' ');
    return field;
}

bool readFile(const std::string &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

} // namespace

QString plainToHtml(const QString &text)
{
    QString html = text.toHtmlEscaped();
    html.replace(u"\r\n"_s, u"<br>"_s);
    html.replace(u'\n', u"<br>"_s);
    html.replace(u'\r', u"<br>"_s);
    html.replace(QChar(0x2029), u"<br>"_s); // paragraph separator of QTextDocument
    return html;
}

std::string ankiFileText(const std::vector<AnkiNote> &notes)
{
    QString text = u"#separator:tab\n#html:true\n#columns:Front\tBack\tSound\n"_s;
    for (const AnkiNote &n : notes) {
        text += oneLine(n.front) + u'\t' + oneLine(n.back) + u'\t';
        if (!n.sound.isEmpty())
            text += u"[sound:"_s + oneLine(n.sound) + u']';
        text += u'\n';
    }
    return text.toStdString();
}

AnkiExportResult exportForAnki(const zarel::methods::MethodHost &host, const QString &filePath,
                               bool english)
{
    AnkiExportResult result;
    const auto say = [english](const QString &turkish, const QString &inEnglish) {
        return english ? inEnglish : turkish;
    };
    const QFileInfo target(filePath);
    const std::string folder = target.absolutePath().toStdString();

    std::vector<AnkiNote> notes;
    std::set<std::pair<QString, bool>> exported; // a word listed twice is one note
    std::set<std::string> copied;
    QTextEdit article; // never shown: turns the article's rich text into plain text
    const int count = methods::listCount(host);
    for (int i = 0; i < count; ++i) {
        const QString word = methods::shownEntry(host, i);
        if (word.isEmpty() || !exported.insert({ word, methods::isEnglishEntry(host, i) }).second)
            continue;
        AnkiNote note;
        note.front = plainToHtml(word);
        const int tab = methods::entryTab(host, i);
        int item = -1;
        if (tab >= 0 && tab < zarel::kTabCount) {
            item = zarel::findStringPrefix(host.dictionary().tab(tab).entries,
                                           zarel::app::toCp1254(word), casingOfTab(tab));
        }
        const methods::Located at { tab, item };
        if (at.found() && methods::loadArticle(host, at, &article)) {
            const QString plain = article.document()->toPlainText();
            const std::u16string_view view(reinterpret_cast<const char16_t *>(plain.utf16()),
                                           static_cast<std::size_t>(plain.size()));
            const std::size_t head = zarel::hiddenArticleLength(
                view, static_cast<std::size_t>(word.size()), methods::isEnglishEntry(host, i));
            const QString front = plain.left(static_cast<qsizetype>(head)).trimmed();
            if (!front.isEmpty())
                note.front = plainToHtml(front);
            // The back shows the rest of the article; Anki's cards show the front above it.
            const QString rest = plain.mid(static_cast<qsizetype>(head)).trimmed();
            note.back = plainToHtml(rest.isEmpty() ? plain.trimmed() : rest);
        }
        if (at.found() && zarel::isEnglishTab(at.tab)) {
            const std::string source = host.headwordSound(at.tab, at.item);
            // A word the user added is named after its headword, which may be all digits: its
            // copy is marked so it never takes the name of a numbered dictionary sound.
            const std::string name = "zarel-" + std::to_string(at.tab + 1) + "-"
                + (methods::isEnglishBase(host, at) ? "" : "user-")
                + std::filesystem::path(source).stem().string() + ".mp3";
            std::string bytes;
            if (copied.count(name) != 0) {
                note.sound = QString::fromStdString(name);
            } else if (!source.empty() && readFile(source, bytes)) {
                if (!zarel::writeFileAtomic(folder + "/" + name, bytes).ok()) {
                    result.message = say(u"Ses dosyası yazılamadı: %1"_s,
                                         u"The sound file could not be written: %1"_s)
                                         .arg(QString::fromStdString(folder + "/" + name));
                    return result;
                }
                note.sound = QString::fromStdString(name);
                copied.insert(name);
                ++result.sounds;
            }
        }
        notes.push_back(std::move(note));
    }

    const zarel::Status written
        = zarel::writeFileAtomic(filePath.toStdString(), ankiFileText(notes));
    if (!written.ok()) {
        result.message
            = say(u"Dosya yazılamadı: %1"_s, u"The file could not be written: %1"_s).arg(filePath);
        return result;
    }
    result.ok = true;
    result.notes = static_cast<int>(notes.size());
    result.message = say(u"%1 kelime %2 dosyasına yazıldı."_s, u"%1 words were written to %2."_s)
                         .arg(result.notes)
                         .arg(filePath);
    if (result.sounds > 0) {
        result.message += u"\n\n"_s
            + say(u"%1 ses dosyası (zarel-*.mp3) dosyanın yanındaki %2 klasörüne kopyalandı. "
                  u"Anki'de içe aktarmadan önce bunları Anki profilinizin ortam klasörüne "
                  u"(collection.media) kopyalayın."_s,
                  u"%1 sound files (zarel-*.mp3) were copied beside it into %2. Copy them into "
                  u"your Anki profile's media folder (collection.media) before importing the "
                  u"file in Anki."_s)
                  .arg(result.sounds)
                  .arg(QString::fromStdString(folder));
    }
    return result;
}

} // namespace zarel::learning
