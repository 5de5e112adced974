// bench_emptywindow: the floor for the start-up figures, a minimal Qt main window with one
// label, of the dictionary window's outer size.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Empty window"));
    window.setCentralWidget(new QLabel(QStringLiteral("An empty window"), &window));
    window.setFixedSize(612, 340);
    window.show();
    return QApplication::exec();
}
