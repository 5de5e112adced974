// A stand-in for the desktop's URL openers: while it lives, QDesktopServices::openUrl hands the
// addresses of the given schemes to it instead of starting a browser or mail program.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit UrlCatcher(const QStringList &schemes
                        = { QStringLiteral("http"), QStringLiteral("https"),
                            QStringLiteral("mailto") });
    ~UrlCatcher() override;

    QList<QUrl> opened;

public slots:
    void open(const QUrl &url);

private:
    QStringList m_schemes;
};
