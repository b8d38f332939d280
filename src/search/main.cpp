// trovix-search: TROVIX's entries and reminders in the desktop's own search, over the session bus. The bus
// starts it when the desktop first asks; it ends itself after a minute without requests.
#include "dbusinterfaces.h"
#include "searchservice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>

using namespace trovix;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trovix-search"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("TROVIX's lists in the desktop's search (D-Bus activated)."));
    parser.addHelpOption();
    const QCommandLineOption folderOption(QStringLiteral("folder"),
                                          QStringLiteral("The program folder whose database is searched."),
                                          QStringLiteral("DIR"), SearchService::defaultProgramFolder());
    const QCommandLineOption programOption(QStringLiteral("program"),
                                           QStringLiteral("The trovix command that brings TROVIX forward."),
                                           QStringLiteral("PATH"));
    const QCommandLineOption idleOption(QStringLiteral("idle"),
                                        QStringLiteral("Seconds without a request before the service ends."),
                                        QStringLiteral("SECONDS"), QStringLiteral("60"));
    parser.addOptions({folderOption, programOption, idleOption});
    parser.process(app);

    bool validIdle = false;
    const int idleSeconds = parser.value(idleOption).toInt(&validIdle);
    if (!validIdle || idleSeconds <= 0 || idleSeconds > 86400) {
        std::fprintf(stderr, "trovix-search: --idle takes a number of seconds from 1 to 86400\n");
        return 2;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "trovix-search: no session bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }

    registerDBusTypes();
    SearchService service({parser.value(folderOption), parser.value(programOption), idleSeconds});
    QObject::connect(&service, &SearchService::idle, &app, &QCoreApplication::quit);
    QObject gnomeObject;
    QObject kdeObject;
    new GnomeSearchProvider(service, &gnomeObject);
    new KdeRunner(service, &kdeObject);
    if (!bus.registerObject(QStringLiteral(TROVIX_SEARCH_GNOME_PATH), &gnomeObject)
        || !bus.registerObject(QStringLiteral(TROVIX_SEARCH_KDE_PATH), &kdeObject)) {
        std::fprintf(stderr, "trovix-search: could not register the search objects on the bus\n");
        return 1;
    }
    if (!bus.registerService(QStringLiteral(TROVIX_SEARCH_BUS_NAME))) {
        std::fprintf(stderr, "trovix-search: the bus name %s is taken: %s\n", TROVIX_SEARCH_BUS_NAME,
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    return app.exec();
}
