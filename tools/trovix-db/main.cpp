// trovix-db: makes the delivered database, checks it, dumps it.
#include "core/catalog.h"
#include "core/database.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int usage(QTextStream& err)
{
    err << "usage: trovix-db create DIR   make DIR/trovix.mdb (never overwrites)\n"
           "       trovix-db check DIR    open it with its key, check its integrity and its five tables\n"
           "       trovix-db dump DIR     print every row of every table, tab-separated\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2)
        return usage(err);
    const QString& command = args.at(0);
    const QString& folder = args.at(1);
    const QString file = trovix::Catalog::fileName(folder);

    try {
        if (command == QLatin1String("create")) {
            trovix::Catalog::create(folder);
            out << "created " << file << '\n';
            return 0;
        }
        if (command == QLatin1String("check")) {
            const QStringList problems = trovix::Catalog::check(folder);
            for (const QString& problem : problems)
                err << file << ": " << problem << '\n';
            if (problems.isEmpty())
                out << file << ": ok\n";
            return problems.isEmpty() ? 0 : 1;
        }
        if (command == QLatin1String("dump")) {
            trovix::Catalog::dump(folder, out);
            return 0;
        }
    } catch (const trovix::DatabaseError& e) {
        err << "trovix-db: " << e.description() << '\n';
        return 1;
    }
    return usage(err);
}
