#pragma once

#include "core/searchindex.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

namespace trovix {

// What the desktop's search asks of TROVIX, whichever desktop asks: the ids that match some terms, what
// to show for them, and starting one. It reads the program folder's database and never writes to it; an
// entry starts as Enter in its window starts it, a reminder (or a search taken further) brings TROVIX
// forward with the right window in front. It ends itself once no request came for a while.
class SearchService : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString programFolder;
        QString program;      // the trovix command; empty: `trovix` on the search path
        int idleSeconds = 60; // without a request for this long the service ends
    };

    explicit SearchService(Options options, QObject* parent = nullptr);

    QStringList resultSet(const QStringList& terms);
    // GNOME's metas: id, name, description and the icon's name as "gicon", each as plain text.
    QList<QVariantMap> resultMetas(const QStringList& ids);
    void activate(const QString& id);
    // TROVIX forward, with the window of the first result in front (none: as it was).
    void launchSearch(const QStringList& terms);
    // The results of the ids, in order, for those who show them whole.
    QList<SearchResult> describe(const QStringList& ids) const;

    // The folder of the database, by default the one the trovix command makes for the user.
    static QString defaultProgramFolder();

signals:
    void idle();

private:
    // Every request starts here: the idle timer starts again and the index is brought up to the file.
    // A file that cannot be read gives no results and one line on standard error (not repeated while the
    // same reason stands).
    void beginRequest();
    void startTrovix(const QStringList& arguments);
    void notify(const QString& summary, const QString& body);

    Options m_options;
    SearchIndex m_index;
    QTimer m_idleTimer;
    QString m_reported;
};

} // namespace trovix
