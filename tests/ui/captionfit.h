// Whether the captions of a window can be read whole: every shown label, button, check box,
// radio button, group box title, header section and tab caption is measured with its own font
// and style and compared with the room its control gives it and the room its parents leave.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace zarel::test {

struct CaptionReport
{
    int measured = 0; // captions measured
    // The captions that do not fit, one line each naming the control (object name, or class
    // and parent when it has none), its text, the size the text needs and the room it has.
    QStringList clipped;
};

// Measures the captions of `window`. Only controls shown in the window are walked; a control
// whose caption is not drawn (a tab bar that shows pictures only, a tool button showing its
// icon alone) or that lies wholly outside its parents is passed over.
CaptionReport measureCaptions(QWidget *window);

// The family fontconfig gives a widget for `requested` family at `pixelSize` pixels.
QString resolvedFamily(const QString &requested, int pixelSize = 13);

} // namespace zarel::test
