#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace trovix {

// One running program per program folder. The first start holds a lock (flock) on a file named after the
// canonical folder and listens on a local socket of the same name; the kernel lets go of the lock when the
// process ends however it ends, so a killed run leaves nothing that stops the next one. A later start finds
// the lock taken, asks the running program through the socket to come forward and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,     // this run holds the folder
        Forwarded, // another run holds it and was asked to come forward
        NoAnswer,  // another run holds it and did not answer
    };
    Claim claim();

    // The socket's name; the lock file is this name in the temporary folder.
    const QString& name() const { return m_name; }

signals:
    // Another start on the same folder asked this run to come forward.
    void anotherStart();

private:
    enum class Lock { Held, Taken, Unavailable };
    Lock tryLock();
    bool askToComeForward() const;
    void answer();

    QString m_name;
    int m_lock = -1;
    QLocalServer* m_server = nullptr;
};

} // namespace trovix
