#include "searchservice.h"

#include "core/catalog.h"
#include "core/entrykinds.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

namespace trovix {

namespace {

void say(const QString& line)
{
    std::fprintf(stderr, "trovix-search: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

SearchService::SearchService(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_index(m_options.programFolder)
{
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_options.idleSeconds * 1000);
    connect(&m_idleTimer, &QTimer::timeout, this, &SearchService::idle);
    m_idleTimer.start();
}

QString SearchService::defaultProgramFolder()
{
    // As the trovix command finds it: a relative XDG_DATA_HOME is ignored, as the standard says.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.startsWith(QLatin1Char('/')))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/trovix");
}

void SearchService::beginRequest()
{
    m_idleTimer.start();
    if (m_index.refresh()) {
        m_reported.clear();
        return;
    }
    if (m_index.lastError() != m_reported)
        say(m_index.lastError());
    m_reported = m_index.lastError();
}

QStringList SearchService::resultSet(const QStringList& terms)
{
    beginRequest();
    return m_index.find(terms);
}

QList<SearchResult> SearchService::describe(const QStringList& ids) const
{
    QList<SearchResult> results;
    for (const QString& id : ids) {
        if (std::optional<SearchResult> result = m_index.describe(id))
            results << *result;
    }
    return results;
}

QList<QVariantMap> SearchService::resultMetas(const QStringList& ids)
{
    beginRequest();
    QList<QVariantMap> metas;
    for (const SearchResult& result : describe(ids)) {
        metas << QVariantMap{{QStringLiteral("id"), result.id},
                             {QStringLiteral("name"), result.name},
                             {QStringLiteral("description"), result.description},
                             {QStringLiteral("gicon"), result.iconName}};
    }
    return metas;
}

void SearchService::activate(const QString& id)
{
    beginRequest();
    if (m_index.isReminder(id)) {
        startTrovix({QStringLiteral("--window"), Catalog::Reminders});
        return;
    }
    const std::optional<SearchIndex::Found> found = m_index.entry(id);
    if (!found) {
        say(QStringLiteral("nothing to start: %1 is no longer listed").arg(id));
        return;
    }
    const LaunchPlan plan =
            EntryKinds::plan(*found->kind, found->entry, m_index.documentsApplication(), m_options.programFolder);
    const LaunchResult result = EntryKinds::carryOut(plan);
    if (!result.started()) {
        say(result.reason);
        notify(found->kind->title, EntryKinds::outcomeText(*found->kind, result.outcome));
    }
}

void SearchService::launchSearch(const QStringList& terms)
{
    const QStringList ids = resultSet(terms);
    if (ids.isEmpty()) {
        startTrovix({});
        return;
    }
    startTrovix({QStringLiteral("--window"), ids.first().section(QLatin1Char(':'), 0, 0)});
}

void SearchService::startTrovix(const QStringList& arguments)
{
    const QString program =
            m_options.program.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("trovix")) : m_options.program;
    if (program.isEmpty()) {
        say(QStringLiteral("the trovix command was not found on the search path"));
        return;
    }
    // Detached: TROVIX outlives the service, which ends when idle.
    if (!QProcess::startDetached(program, arguments, QDir::homePath()))
        say(QStringLiteral("%1 could not be started").arg(program));
}

void SearchService::notify(const QString& summary, const QString& body)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The body may be read as markup by the server: escaped, so it shows as written.
    message << QStringLiteral("TROVIX") << 0u << QStringLiteral(TROVIX_ICON_NAME) << summary << body.toHtmlEscaped()
            << QStringList() << QVariantMap() << -1;
    // Not waited for: without a notification server the line on standard error is all there is.
    QDBusConnection::sessionBus().send(message);
}

} // namespace trovix
