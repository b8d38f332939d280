#include "desktop/fonts.h"
#include "desktop/qtservices.h"
#include "desktop/singleinstance.h"
#include "ui/imagelist.h"
#include "ui/session.h"
#include "ui/splashwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The command line, read once Qt has taken its own options (-platform, -style and the like) out of it.
// --help and --version answer and end the program here.
struct Arguments
{
    QString window; // a child window's name, or empty
    QString wrong;  // what was wrong with the command line, or empty
};

Arguments readArguments()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Desktop organiser and quick launcher."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QString names = trovix::childWindowNames().join(QStringLiteral(", "));
    const QCommandLineOption window(
            QStringLiteral("window"),
            QStringLiteral("Brings the program forward with this list window in front: %1.").arg(names),
            QStringLiteral("name"));
    parser.addOption(window);
    const QString takes = QStringLiteral(" --window takes one of: %1.").arg(names);
    if (!parser.parse(QCoreApplication::arguments()))
        return {{}, parser.errorText() + (parser.unknownOptionNames().isEmpty() ? takes : QString())};
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(version))
        parser.showVersion();
    for (const QString& name : parser.values(window)) {
        if (!trovix::childWindowNamed(name))
            return {{}, QStringLiteral("Unknown window '%1'.").arg(name) + takes};
    }
    return {parser.value(window), {}};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TROVIX"));
    QApplication::setApplicationVersion(QStringLiteral(TROVIX_VERSION));
    // On Wayland the desktop ties the windows to the desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(TROVIX_APP_ID));
    const Arguments arguments = readArguments();
    if (!arguments.wrong.isEmpty()) {
        std::fprintf(stderr, "trovix: %s\n", qPrintable(arguments.wrong));
        return 2;
    }
    QApplication::setWindowIcon(trovix::ImageList::programIcon());
    // The program ends when the main window closes, not when the splash does.
    QApplication::setQuitOnLastWindowClosed(false);
    trovix::installFontSubstitutes();

    // One running program per program folder: a later start brings the running one forward, with the
    // window it names in front, and ends.
    trovix::SingleInstance instance(QCoreApplication::applicationDirPath());
    const trovix::SingleInstance::Claim claim = instance.claim(arguments.window);
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
    // A later start's window name is another process's text: one that names no window is passed over.
    QObject::connect(&instance, &trovix::SingleInstance::anotherStart, &session,
                     [&session](const QString& window) { session.bringForward(trovix::childWindowNamed(window)); });
    session.splash().show();
    // The window this start asked for shows once the splash is over, as a later start's would.
    if (!arguments.window.isEmpty())
        session.bringForward(trovix::childWindowNamed(arguments.window));
    return QApplication::exec();
}
