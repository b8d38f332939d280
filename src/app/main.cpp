#include "extras/splash.h"
#include "platform/fonts.h"
#include "platform/qtservices.h"
#include "platform/singleinstance.h"
#include "shell/imagelist.h"
#include "shell/module1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TROVIX"));
    // On Wayland the desktop ties the windows to the desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(TROVIX_APP_ID));
    QApplication::setWindowIcon(trovix::ImageList::programIcon());
    // The program ends when the main window is unloaded, not when the splash closes.
    QApplication::setQuitOnLastWindowClosed(false);
    trovix::installFontSubstitutes();

    // One running program per program folder: a later start brings the running one forward and ends.
    trovix::SingleInstance instance(QCoreApplication::applicationDirPath());
    const trovix::SingleInstance::Claim claim = instance.claim();
    if (claim == trovix::SingleInstance::Claim::Forwarded)
        return 0;
    if (claim == trovix::SingleInstance::Claim::NoAnswer) {
        std::fprintf(stderr, "TROVIX is already running from %s but does not answer.\n",
                     qPrintable(QCoreApplication::applicationDirPath()));
        return 1;
    }

    trovix::Module1 module(QCoreApplication::applicationDirPath(), std::make_unique<trovix::QtServices>());
    QObject::connect(&module, &trovix::Module1::programEnded, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    QObject::connect(&instance, &trovix::SingleInstance::anotherStart, &module, &trovix::Module1::BringForward);
    module.splash->show();
    return QApplication::exec();
}
