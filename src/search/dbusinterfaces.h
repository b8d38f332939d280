#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace trovix {

class SearchService;

// GNOME Shell's search provider, version 2, on the service.
class GnomeSearchProvider : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")

public:
    GnomeSearchProvider(SearchService& service, QObject* object);

public slots:
    QStringList GetInitialResultSet(const QStringList& terms);
    QStringList GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms);
    QList<QVariantMap> GetResultMetas(const QStringList& identifiers);
    void ActivateResult(const QString& identifier, const QStringList& terms, uint timestamp);
    void LaunchSearch(const QStringList& terms, uint timestamp);

private:
    SearchService& m_service;
};

// A match as KRunner takes it: id, text, icon name, type, relevance and further properties.
struct RunnerMatch
{
    QString id;
    QString text;
    QString iconName;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
using RunnerMatches = QList<RunnerMatch>;

// An action KRunner offers beside a match: id, text, icon name.
struct RunnerAction
{
    QString id;
    QString text;
    QString iconName;
};
using RunnerActions = QList<RunnerAction>;

// KDE's D-Bus runner interface, on the service.
class KdeRunner : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")

public:
    KdeRunner(SearchService& service, QObject* object);

    // KRunner's match types, from the least to the most certain.
    static constexpr int PossibleMatch = 30;
    static constexpr int ExactMatch = 100;

public slots:
    trovix::RunnerMatches Match(const QString& query);
    trovix::RunnerActions Actions();
    void Run(const QString& matchId, const QString& actionId);

private:
    SearchService& m_service;
};

// The types above made known to Qt D-Bus; once, before the adaptors answer.
void registerDBusTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const RunnerMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const RunnerAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RunnerAction& action);

} // namespace trovix

Q_DECLARE_METATYPE(trovix::RunnerMatch)
Q_DECLARE_METATYPE(trovix::RunnerAction)
