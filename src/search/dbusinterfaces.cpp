#include "dbusinterfaces.h"

#include "searchservice.h"

#include <QDBusMetaType>

namespace trovix {

GnomeSearchProvider::GnomeSearchProvider(SearchService& service, QObject* object)
    : QDBusAbstractAdaptor(object)
    , m_service(service)
{}

QStringList GnomeSearchProvider::GetInitialResultSet(const QStringList& terms)
{
    return m_service.resultSet(terms);
}

QStringList GnomeSearchProvider::GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms)
{
    // Searching afresh costs no more than filtering, and the order stays the ranking's.
    Q_UNUSED(previousResults);
    return m_service.resultSet(terms);
}

QList<QVariantMap> GnomeSearchProvider::GetResultMetas(const QStringList& identifiers)
{
    return m_service.resultMetas(identifiers);
}

void GnomeSearchProvider::ActivateResult(const QString& identifier, const QStringList& terms, uint timestamp)
{
    Q_UNUSED(terms);
    Q_UNUSED(timestamp);
    m_service.activate(identifier);
}

void GnomeSearchProvider::LaunchSearch(const QStringList& terms, uint timestamp)
{
    Q_UNUSED(timestamp);
    m_service.launchSearch(terms);
}

KdeRunner::KdeRunner(SearchService& service, QObject* object)
    : QDBusAbstractAdaptor(object)
    , m_service(service)
{}

RunnerMatches KdeRunner::Match(const QString& query)
{
    const QStringList ids = m_service.resultSet({query});
    RunnerMatches matches;
    for (const SearchResult& result : m_service.describe(ids)) {
        // Relevance falls with the place in the ranking, so KRunner keeps the order. The text goes as plain
        // text: KRunner reads markup only in matches marked "multiline", and these never are.
        const double relevance = 1.0 - 0.01 * double(matches.size());
        matches << RunnerMatch{result.id,       result.name,
                               result.iconName, matches.isEmpty() ? ExactMatch : PossibleMatch,
                               relevance,       {{QStringLiteral("subtext"), result.description}}};
    }
    return matches;
}

RunnerActions KdeRunner::Actions()
{
    return {};
}

void KdeRunner::Run(const QString& matchId, const QString& actionId)
{
    Q_UNUSED(actionId);
    m_service.activate(matchId);
}

void registerDBusTypes()
{
    qDBusRegisterMetaType<RunnerMatch>();
    qDBusRegisterMetaType<RunnerMatches>();
    qDBusRegisterMetaType<RunnerAction>();
    qDBusRegisterMetaType<RunnerActions>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatch& match)
{
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatch& match)
{
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >> match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action)
{
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action)
{
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

} // namespace trovix
