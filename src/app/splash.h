// TSplash: the borderless window shown while the index files load, with one large bold
// label that shows the loading progress as dots.
#pragma once

#include "dictionary/dictionaryindex.h"

#include <QWidget>

class QLabel;

class TSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);

    // Shows the window centred on the screen and paints it at once.
    void showAndPaint();
    // One more index file read: advances the dot counter and repaints the label at once
    // (no events are processed while the files load).
    void advance();

    QLabel *Label1;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    zarel::SplashProgress m_progress;
};
