#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalSocket>

namespace {
constexpr int kAnswerMs = 2000;
const QByteArray kRaise = "raise\n";

// Local server names are files or pipes: keep the title readable but safe, and per user.
QString serverNameFor(const QString& title) {
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    const QByteArray hash =
        QCryptographicHash::hash((title + u'|' + user).toUtf8(), QCryptographicHash::Md5)
            .toHex()
            .left(12);
    QString safe;
    for (QChar c : title) safe += c.isLetterOrNumber() ? c : u'_';
    return safe + u'-' + QString::fromLatin1(hash);
}
}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), serverName_(serverNameFor(name)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise")) emit raiseRequested();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool SingleInstance::Claim() {
    if (askRunningInstance()) return false;
    // Nobody answered: a socket left by a crashed instance may still be there.
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(serverName_)) return true;
    // Two starts at the same moment: the other one won the name.
    return !askRunningInstance();
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(kAnswerMs);
    socket.waitForDisconnected(kAnswerMs);
    return true;
}
