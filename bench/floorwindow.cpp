// The floor of the program's start and rest: the least a Qt Widgets program of this kind costs. One
// window with the given title, shown at once, and a timer that wakes it every 6 s, as the program's due
// check does, with nothing to do.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("floor"));
    window.resize(470, 300);
    window.show();
    QTimer wake;
    QObject::connect(&wake, &QTimer::timeout, [] {});
    wake.start(6000);
    return app.exec();
}
