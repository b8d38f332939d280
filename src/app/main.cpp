#include "desktop/fonts.h"
#include "desktop/qtservices.h"
#include "desktop/singleinstance.h"
#include "ui/imagelist.h"
#include "ui/session.h"
#include "ui/splashwindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TROVIX"));
    // On Wayland the desktop ties the windows to the desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(TROVIX_APP_ID));
    QApplication::setWindowIcon(trovix::ImageList::programIcon());
    // The program ends when the main window closes, not when the splash does.
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

    // The end-to-end runs count the sounds in the file this names.
    trovix::Session session(QCoreApplication::applicationDirPath(),
                            std::make_unique<trovix::QtServices>(qEnvironmentVariable("TROVIX_SOUND_LOG")));
    QObject::connect(&session, &trovix::Session::programEnded, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    QObject::connect(&instance, &trovix::SingleInstance::anotherStart, &session, &trovix::Session::bringForward);
    session.splash().show();
    return QApplication::exec();
}
