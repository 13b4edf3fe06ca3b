// The single running copy: its lock, its local socket, and the message of a later start.
#include "mainwindow/SingleInstance.h"

#include "common/OwnFiles.h"
#include "common/SafeFile.h"
#include "settings/SettingsStore.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kalvor {

namespace {

constexpr std::size_t SocketPathRoom = 100; // a local socket's path holds at most 107 bytes
constexpr int AnswerMilliseconds = 5000;    // the running copy may still be starting up

// The socket beside the lock, or one named after the settings folder in the runtime folder.
QString SocketPath(const std::string& settingsFolder) {
    const std::string beside = settingsFolder + "/kalvor.socket";
    if (beside.size() < SocketPathRoom) {
        return QString::fromStdString(beside);
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(runtime) || !QFileInfo(runtime).isDir()) {
        return {};
    }
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(settingsFolder),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(16);
    const QString path = runtime + QStringLiteral("/kalvor-") + QString::fromLatin1(hash) +
                         QStringLiteral(".socket");
    return path.toUtf8().size() < static_cast<qsizetype>(SocketPathRoom) ? path : QString();
}

// Tells the running copy to come to the front; false when it does not answer in time.
bool AskToComeForward(const QString& socketPath) {
    if (socketPath.isEmpty()) {
        return false;
    }
    QLocalSocket client;
    const QDeadlineTimer deadline(AnswerMilliseconds);
    while (!deadline.hasExpired()) {
        client.connectToServer(socketPath);
        if (client.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            client.write("raise\n");
            const bool sent = client.waitForBytesWritten(AnswerMilliseconds);
            client.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50); // it holds the lock but does not listen yet
    }
    return false;
}

} // namespace

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent) {
    const std::string hive = UserHivePath();
    if (hive.empty()) {
        return; // no settings folder: nothing to share, run alone
    }
    const std::string folder = FolderOf(hive);
    if (CreatePrivateFolders(folder) != 0) {
        return;
    }
    const std::string lockPath = folder + "/kalvor.instance";
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        return;
    }
    const QString socketPath = SocketPath(folder);
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(m_lockFd);
        m_lockFd = -1;
        if (!taken) {
            return; // a file system without locks: run alone
        }
        m_anotherRuns = true;
        if (!AskToComeForward(socketPath)) {
            std::fprintf(stderr, "kalvor: another copy is running but does not answer\n");
        }
        return;
    }
    if (socketPath.isEmpty()) {
        return;
    }
    QLocalServer::removeServer(socketPath); // left by a copy that was killed
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!m_server->listen(socketPath)) {
        delete m_server;
        m_server = nullptr;
    }
}

SingleInstance::~SingleInstance() {
    delete m_server; // closes and removes the socket while the lock is still held
    m_server = nullptr;
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
    }
}

bool SingleInstance::listening() const {
    return m_server != nullptr && m_server->isListening();
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        const auto read = [this, client] {
            if (client->readAll().contains("raise")) {
                emit activationRequested();
            }
        };
        connect(client, &QLocalSocket::readyRead, this, read);
        if (client->bytesAvailable() > 0) {
            read();
        }
    }
}

} // namespace kalvor
