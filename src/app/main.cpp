// Program entry: the application titled "Zarel English Dictionary" with its one main window.
#include "app/splash.h"
#include "app/tform1.h"
#include "controls/lazyicon.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zarel English Dictionary"_s);
    // Before the first widget: the style's icons are then made when first drawn.
    QApplication::setStyle(new zarel::LazyIconStyle);
    // On the screen while the main window is built and the index files load.
    TSplash::showAtStart();
    TForm1 form;
    form.show();
    return QApplication::exec();
}
