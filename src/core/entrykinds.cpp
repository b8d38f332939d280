#include "entrykinds.h"

#include "catalog.h"
#include "entrystore.h"

namespace trovix::EntryKinds {

namespace {

const QString FileNotFound = QStringLiteral("File not found");
const QString NotAnExecutable = QStringLiteral("Not a valid executable file");

} // namespace

const EntryKind& softwares()
{
    static const EntryKind kind{Catalog::Softwares,
                                QStringLiteral("Softwares"),
                                QStringLiteral("SOFTWARES"),
                                QStringLiteral("trovix-softwares"),
                                LaunchKind::Shell,
                                FileNotFound,
                                NotAnExecutable,
                                QStringLiteral("Problem in path of the Software")};
    return kind;
}

const EntryKind& games()
{
    static const EntryKind kind{Catalog::Games,          QStringLiteral("Games"),
                                QStringLiteral("GAMES"), QStringLiteral("trovix-games"),
                                LaunchKind::Shell,       FileNotFound,
                                NotAnExecutable,         QStringLiteral("Problem in path of the Game")};
    return kind;
}

const EntryKind& windows()
{
    static const EntryKind kind{Catalog::Windows,
                                QStringLiteral("Windows Softwares"),
                                QStringLiteral("WINDOWS SOFTWARES"),
                                QStringLiteral("trovix-windows"),
                                LaunchKind::CommandLine,
                                FileNotFound,
                                NotAnExecutable,
                                QStringLiteral("Problem in path of the Windows Software")};
    return kind;
}

const EntryKind& documents()
{
    static const EntryKind kind{Catalog::Documents,
                                QStringLiteral("Documents"),
                                Catalog::DocumentsApplicationRow,
                                QStringLiteral("trovix-documents"),
                                LaunchKind::Application,
                                QStringLiteral("Check Application Path"),
                                NotAnExecutable,
                                QStringLiteral("Problem in path of the Document")};
    return kind;
}

const std::vector<const EntryKind*>& all()
{
    static const std::vector<const EntryKind*> kinds = {&softwares(), &games(), &windows(), &documents()};
    return kinds;
}

const EntryKind* find(const QString& table)
{
    for (const EntryKind* kind : all()) {
        if (kind->table == table)
            return kind;
    }
    return nullptr;
}

QString outcomeText(const EntryKind& kind, LaunchResult::Outcome outcome)
{
    switch (outcome) {
    case LaunchResult::Outcome::Started:
        break;
    case LaunchResult::Outcome::NotFound:
        return kind.notFoundText;
    case LaunchResult::Outcome::NotRunnable:
        return kind.notRunnableText;
    case LaunchResult::Outcome::NoPath:
        return kind.pathWithoutValue;
    }
    return {};
}

QString documentsApplication(const EntryList& documents, const QString& otherwise)
{
    const std::optional<Entry> row = documents.findByName(Catalog::DocumentsApplicationRow);
    return row && row->path ? *row->path : otherwise;
}

LaunchPlan plan(const EntryKind& kind, const Entry& entry, const QString& applicationPath, const QString& programFolder)
{
    // Only documents are handed to an application; the other lists start what the path names.
    return Launcher::plan(kind.launch, entry, kind.launch == LaunchKind::Application ? applicationPath : QString(),
                          programFolder);
}

LaunchResult carryOut(const LaunchPlan& plan)
{
    if (const auto* file = std::get_if<OpenFile>(&plan))
        return Launcher::open(*file);
    if (const auto* program = std::get_if<StartProgram>(&plan))
        return Launcher::start(*program);
    return std::get<LaunchResult>(plan);
}

} // namespace trovix::EntryKinds
