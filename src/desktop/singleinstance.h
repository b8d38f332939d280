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
// The request is one line: "come forward", or "come forward NAME" to have the window of that name shown in
// front as well. The running program answers "done" and hangs up. Whatever else a peer sends is no request:
// a line longer than MaxRequest bytes, or none within RequestMs, and the connection is dropped unanswered.
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
    // A later start asks for the window of that name (empty: none) to be shown in front.
    Claim claim(const QString& window = {});

    // The longest request line, its line feed included, and how long a peer has to send it.
    static constexpr qint64 MaxRequest = 256;
    static constexpr int RequestMs = 5000;

    // Where the lock and the socket are: the user's runtime folder ($XDG_RUNTIME_DIR), or, where that is
    // not set, a folder of the user's own made private in the temporary folder. Empty (the reason on
    // standard error) when that folder is not the user's own or others may enter it.
    static QString runtimeFolder();
    // The socket's full path; the lock file is this and ".lock". Empty without a runtime folder.
    const QString& socketPath() const { return m_socketPath; }

signals:
    // Another start on the same folder asked this run to come forward, naming a window or not (empty). The
    // name is another process's text, passed on as sent: it may name nothing.
    void anotherStart(const QString& window);

private:
    enum class Lock { Held, Taken, Unavailable };
    Lock tryLock();
    bool askToComeForward(const QString& window) const;
    // Done: the running program answered; HungUp: it closed the connection unanswered; NoAnswer: neither.
    enum class Reply { Done, HungUp, NoAnswer };
    Reply ask(const QByteArray& request) const;
    void answer();

    QString m_socketPath;
    int m_lock = -1;
    QLocalServer* m_server = nullptr;
};

} // namespace trovix
