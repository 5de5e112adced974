// Program entry: the application titled "Zarel English Dictionary" with its one main window.
#include "app/splash.h"
#include "app/tform1.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zarel English Dictionary"_s);
    // On the screen while the main window is built and the index files load.
    TSplash::showAtStart();
    TForm1 form;
    form.show();
    return QApplication::exec();
}
