#include "programrun.h"

#include "shell/mains.h"

namespace trovix {

ProgramRun::ProgramRun(ProgramFolder::Content content)
    : folder(content)
{
    auto owned = std::make_unique<RecordingServices>();
    services = owned.get();
    module = std::make_unique<Module1>(folder.path(), std::move(owned));
    ended = std::make_unique<QSignalSpy>(module.get(), &Module1::programEnded);
}

ProgramRun::ProgramRun(const QString& existingFolder)
    : folder(existingFolder)
{
    auto owned = std::make_unique<RecordingServices>();
    services = owned.get();
    module = std::make_unique<Module1>(folder.path(), std::move(owned));
    ended = std::make_unique<QSignalSpy>(module.get(), &Module1::programEnded);
}

ProgramRun::~ProgramRun() = default;

Mains* ProgramRun::openDatabase()
{
    module->OpenDatabase();
    mains = module->mains.get();
    return mains;
}

int ProgramRun::trayDeletes() const
{
    return int(std::count_if(services->trayRequests.begin(), services->trayRequests.end(),
                             [](const auto& request) { return request.message == TrayMessage::Delete; }));
}

} // namespace trovix
