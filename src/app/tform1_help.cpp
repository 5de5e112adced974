// TForm1's Help menu: the help pages in the help window, the two about windows and the online
// dictionary in the desktop's web browser.
#include "app/tform1.h"

#include "help/taboutform.h"
#include "help/taboutprogform.h"
#include "help/tform8.h"

#include <memory>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

// A free dictionary of many languages, each word explained in its own language and in English.
constexpr auto kOnlineDictionaryAddress = "https://en.wiktionary.org/wiki/Wiktionary:Main_Page";

} // namespace

void TForm1::wireHelp()
{
    connect(F11, &QAction::triggered, this, &TForm1::F11Click);
    connect(Action1, &QAction::triggered, this, &TForm1::F11Click);
    connect(N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(MultilingualOnlineDictionary1, &QAction::triggered, this,
            &TForm1::MultilingualOnlineDictionary1Click);
}

void TForm1::F11Click()
{
    showHelp(u"help.htm"_s, u"helpe.htm"_s);
}

void TForm1::showHelp(const QString &turkishPage, const QString &englishPage)
{
    // The current directory of this moment: a file dialog may have changed it since start-up.
    QString folder = QDir::currentPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    HelpPath = folder + u"hlp/"_s + (Config.turkishInterface ? turkishPage : englishPage);
    const auto form = std::make_unique<TForm8>(this);
    form->HelpPath = HelpPath;
    form->exec();
}

void TForm1::N3Click()
{
    const auto form = std::make_unique<TAboutForm>(this);
    form->exec();
}

void TForm1::N4Click()
{
    const auto form = std::make_unique<TAboutProgForm>(this);
    form->exec();
}

void TForm1::MultilingualOnlineDictionary1Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kOnlineDictionaryAddress)));
}
