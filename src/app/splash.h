// TSplash: the borderless window shown while the index files load, with one large bold
// label that shows the loading progress as dots.
#pragma once

#include "dictionary/dictionaryindex.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

#include <memory>

class QLabel;
class QPainter;

class TSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);

    // Shows the window centred on the screen and paints it at once.
    void showAndPaint();

    // The program entry shows the splash before the main window is built, so it appears as
    // soon as the application is up; the main window's creation then takes it over (and
    // closes it when the start-up ends). takeShown() gives that splash, or null when none was
    // shown or it was already taken.
    static void showAtStart();
    static std::unique_ptr<TSplash> takeShown();
    // One more index file read: advances the dot counter and repaints the label at once (no
    // events are processed while the files load), at most once per kLabelPaintInterval.
    void advance();
    static constexpr qint64 kLabelPaintInterval = 16; // milliseconds, about a screen frame

    QLabel *Label1;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPicture(QPainter &p);

    zarel::SplashProgress m_progress;
    QPixmap m_picture;
    QElapsedTimer m_sinceLabelPaint;
};
