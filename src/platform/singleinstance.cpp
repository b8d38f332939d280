#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace trovix {

namespace {

const QByteArray ComeForward = "come forward\n";
const QByteArray Done = "done\n";
constexpr int AnswerMs = 2000;
// A run that holds the lock listens a moment later; a run that is ending still holds it a moment.
constexpr int ClaimMs = 5000;

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent)
{
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    // Per user and per folder; short, because a socket's path has a small limit.
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    m_name = QStringLiteral("trovix-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::~SingleInstance()
{
    if (m_lock >= 0)
        ::close(m_lock);
}

SingleInstance::Claim SingleInstance::claim()
{
    const QDeadlineTimer deadline(ClaimMs);
    while (true) {
        const Lock lock = tryLock();
        // Without a lock file to be had at all the program runs as it did before there was one.
        if (lock == Lock::Unavailable)
            return Claim::First;
        if (lock == Lock::Held) {
            // A socket left by a run that was killed is removed; nobody else can be listening now.
            QLocalServer::removeServer(m_name);
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
            if (!m_server->listen(m_name))
                qWarning("TROVIX: later starts cannot reach this one: %s", qPrintable(m_server->errorString()));
            return Claim::First;
        }
        if (askToComeForward())
            return Claim::Forwarded;
        if (deadline.hasExpired())
            return Claim::NoAnswer;
        QThread::msleep(100);
    }
}

SingleInstance::Lock SingleInstance::tryLock()
{
    const QByteArray file = QFile::encodeName(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    // Close-on-exec: a program started from this one must not hold the lock after this one ends.
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        qWarning("TROVIX: cannot open the lock file %s: %s", file.constData(), std::strerror(errno));
        return Lock::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lock = fd;
        return Lock::Held;
    }
    ::close(fd);
    return Lock::Taken;
}

bool SingleInstance::askToComeForward() const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(AnswerMs))
        return false;
    socket.write(ComeForward);
    if (!socket.waitForBytesWritten(AnswerMs))
        return false;
    // The running program answers once its window is on its way; a run that is ending does not.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerMs))
            return false;
    }
    return socket.readLine() == Done;
}

void SingleInstance::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == ComeForward) {
                emit anotherStart();
                socket->write(Done);
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace trovix
