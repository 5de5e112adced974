// TForm8: the help window. A text browser that shows one page of the "hlp" folder; links
// between the help pages stay in the window, outside links open in the desktop's programs.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QShowEvent;
class QTextBrowser;

class TForm8 : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 620;
    static constexpr int kHeight = 365;

    // A sizeable window of 620 x 365 pixels, centred on `parent`'s window when shown.
    explicit TForm8(QWidget *parent = nullptr);

    // True for the links that belong to other programs: web pages (http, https) and e-mail
    // addresses (mailto).
    static bool isOutsideLink(const QUrl &url);

    // Follows a link of the page on show: an outside link goes to QDesktopServices::openUrl,
    // anything else is resolved against the page on show and shown in the window.
    void followLink(const QUrl &link);

    // Shows the local page `url` (a fragment scrolls to its anchor). A page that does not exist
    // is replaced by a short notice naming it.
    void navigate(const QUrl &url);

    QString HelpPath; // the full path of the page to show; read when the window is shown
    QTextBrowser *WebBrowser1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
};
