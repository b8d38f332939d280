#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace trovix {

// One running program per program folder. The first start holds a lock (flock) on a file named after the
// canonical folder and listens on a local socket of the same name; the kernel lets go of the lock when the
// process ends however it ends, so a killed run leaves nothing that stops the next one. A later start finds
// the lock taken, asks the running program through the socket to come forward and ends.
//
// Both live in the user's own runtime folder, never in a folder other users can write to: a name another
// user made first would otherwise switch the guard off (the lock) or answer in this program's place (the
// socket). A folder, lock file or socket that is not the user's own is refused; the program then runs
// without the guard and says so on standard error.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,     // this run holds the folder, or runs without the guard
        Forwarded, // another run holds it and was asked to come forward
        NoAnswer,  // another run holds it and did not answer
    };
    Claim claim();

    // Where the lock and the socket are: the user's runtime folder ($XDG_RUNTIME_DIR), or, where that is
    // not set, a folder of the user's own made private in the temporary folder. Empty (the reason on
    // standard error) when that folder is not the user's own or others may enter it.
    static QString runtimeFolder();
    // The socket's full path; the lock file is this and ".lock". Empty without a runtime folder.
    const QString& socketPath() const { return m_socketPath; }

signals:
    // Another start on the same folder asked this run to come forward.
    void anotherStart();

private:
    enum class Lock { Held, Taken, Unavailable };
    Lock tryLock();
    bool askToComeForward() const;
    void answer();

    QString m_socketPath;
    int m_lock = -1;
    QLocalServer* m_server = nullptr;
};

} // namespace trovix
