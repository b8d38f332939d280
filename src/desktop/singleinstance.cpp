#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trovix {

namespace {

const QByteArray ComeForward = "come forward";
const QByteArray Done = "done\n";
constexpr int AnswerMs = 2000;
// A run that holds the lock listens a moment later; a run that is ending still holds it a moment.
constexpr int ClaimMs = 5000;

// A file or folder of this user's, not reached through a link, and of the kind expected.
bool isOwn(const struct stat& info, mode_t kind)
{
    return (info.st_mode & S_IFMT) == kind && info.st_uid == ::geteuid();
}

bool isOwnPath(const QString& path, mode_t kind)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && isOwn(info, kind);
}

} // namespace

QString SingleInstance::runtimeFolder()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QDir::temp().filePath(QStringLiteral("trovix-%1").arg(::geteuid()));
        // Made private from the start; one that is there already is examined below like any other.
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
    }
    struct stat info = {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !isOwn(info, S_IFDIR)
        || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        qWarning("TROVIX: %s is not a private folder of this user's; a second start will not find this one.",
                 qPrintable(folder));
        return {};
    }
    return folder;
}

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent)
{
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    // Per folder; short, because a socket's path has a small limit.
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    const QString runtime = runtimeFolder();
    if (!runtime.isEmpty())
        m_socketPath = runtime + QStringLiteral("/trovix-") + QString::fromLatin1(hash);
}

SingleInstance::~SingleInstance()
{
    if (m_lock >= 0)
        ::close(m_lock);
}

SingleInstance::Claim SingleInstance::claim(const QString& window)
{
    const QDeadlineTimer deadline(ClaimMs);
    while (true) {
        const Lock lock = tryLock();
        // Without a lock file to be had at all the program runs as it did before there was one.
        if (lock == Lock::Unavailable)
            return Claim::First;
        if (lock == Lock::Held) {
            // A socket left by a run that was killed is removed; nobody else can be listening now.
            if (QFileInfo::exists(m_socketPath) && !isOwnPath(m_socketPath, S_IFSOCK)) {
                qWarning("TROVIX: %s is not this user's socket; a second start will not find this one.",
                         qPrintable(m_socketPath));
                return Claim::First;
            }
            QLocalServer::removeServer(m_socketPath);
            m_server = new QLocalServer(this);
            m_server->setSocketOptions(QLocalServer::UserAccessOption);
            connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
            if (!m_server->listen(m_socketPath))
                qWarning("TROVIX: later starts cannot reach this one: %s", qPrintable(m_server->errorString()));
            return Claim::First;
        }
        if (askToComeForward(window))
            return Claim::Forwarded;
        if (deadline.hasExpired())
            return Claim::NoAnswer;
        QThread::msleep(100);
    }
}

SingleInstance::Lock SingleInstance::tryLock()
{
    if (m_socketPath.isEmpty())
        return Lock::Unavailable;
    const QByteArray file = QFile::encodeName(m_socketPath + QStringLiteral(".lock"));
    // Close-on-exec: a program started from this one must not hold the lock after this one ends.
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        qWarning("TROVIX: cannot open the lock file %s: %s", file.constData(), std::strerror(errno));
        return Lock::Unavailable;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !isOwn(info, S_IFREG)) {
        qWarning("TROVIX: %s is not this user's lock file; a second start will not find this one.", file.constData());
        ::close(fd);
        return Lock::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lock = fd;
        return Lock::Held;
    }
    ::close(fd);
    return Lock::Taken;
}

bool SingleInstance::askToComeForward(const QString& window) const
{
    // Only a socket of this user's answers for this program.
    if (!isOwnPath(m_socketPath, S_IFSOCK))
        return false;
    if (window.isEmpty())
        return ask(ComeForward + '\n') == Reply::Done;
    const Reply reply = ask(ComeForward + ' ' + window.toUtf8() + '\n');
    // A run from before windows could be named hangs up on a request with a name: it is asked plainly.
    return reply == Reply::Done || (reply == Reply::HungUp && ask(ComeForward + '\n') == Reply::Done);
}

SingleInstance::Reply SingleInstance::ask(const QByteArray& request) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(AnswerMs))
        return Reply::NoAnswer;
    socket.write(request);
    if (!socket.waitForBytesWritten(AnswerMs))
        return Reply::NoAnswer;
    // The running program answers once its window is on its way; a run that is ending does not.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerMs))
            return socket.state() == QLocalSocket::UnconnectedState ? Reply::HungUp : Reply::NoAnswer;
    }
    return socket.readLine(MaxRequest) == Done ? Reply::Done : Reply::NoAnswer;
}

void SingleInstance::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Another process's bytes: never more than one request line is kept, nor a silent peer for long.
        socket->setReadBufferSize(MaxRequest);
        const auto drop = [socket] {
            socket->abort();
            socket->deleteLater();
        };
        QTimer::singleShot(RequestMs, socket, drop);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, drop] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() >= MaxRequest)
                    drop();
                return;
            }
            QByteArray line = socket->readLine(MaxRequest);
            line.chop(1);
            const bool request = line == ComeForward || line.startsWith(ComeForward + ' ');
            // Answered before the window comes forward: the socket is not touched once the window may
            // have run the event loop, in which the connection may have gone.
            if (request)
                socket->write(Done);
            socket->disconnectFromServer();
            if (request)
                emit anotherStart(QString::fromUtf8(line.mid(ComeForward.size() + 1)));
        });
    }
}

} // namespace trovix
