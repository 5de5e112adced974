// The help window: QTextBrowser showing the page named by the help path, with local links
// followed in place and outside links handed to the desktop.
#include "help/tform8.h"

#include "help/backgroundpicture.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QShowEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TForm8::TForm8(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"Form8"_s);
    setWindowTitle(u"Pelu Zarel English Dictionary Help"_s);
    setSizeGripEnabled(true);
    resize(kWidth, kHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    // Links are followed here so that outside links never end up as empty pages.
    WebBrowser1->setOpenLinks(false);
    WebBrowser1->setOpenExternalLinks(false);
    layout->addWidget(WebBrowser1);
    connect(WebBrowser1, &QTextBrowser::anchorClicked, this, &TForm8::followLink);
}

bool TForm8::isOutsideLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http"_s || scheme == u"https"_s || scheme == u"mailto"_s;
}

void TForm8::followLink(const QUrl &link)
{
    if (isOutsideLink(link)) {
        QDesktopServices::openUrl(link);
        return;
    }
    const QUrl current = WebBrowser1->source();
    navigate(current.isEmpty() ? link : current.resolved(link));
}

void TForm8::navigate(const QUrl &url)
{
    if (url.isEmpty() || (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile())) {
        WebBrowser1->clear();
        WebBrowser1->setPlainText(u"Yardım sayfası bulunamadı.\nThe help page was not found.\n\n"_s
                                  + url.toLocalFile());
        return;
    }
    WebBrowser1->setSource(url);
}

void TForm8::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm8::FormShow()
{
    zarel::help::centreOnOwner(this, parentWidget());
    navigate(QUrl::fromLocalFile(HelpPath));
}
