#include "extras/splash.h"
#include "platform/fonts.h"
#include "platform/qtservices.h"
#include "shell/imagelist.h"
#include "shell/module1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TROVIX"));
    QApplication::setWindowIcon(trovix::ImageList::programIcon());
    // The program ends when the main window is unloaded, not when the splash closes.
    QApplication::setQuitOnLastWindowClosed(false);
    trovix::installFontSubstitutes();

    trovix::Module1 module(QCoreApplication::applicationDirPath(), std::make_unique<trovix::QtServices>());
    QObject::connect(&module, &trovix::Module1::programEnded, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    module.splash->show();
    return QApplication::exec();
}
