#include "PostgresServer.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QUuid>

namespace {
QString serverPrograms() {
    // Debian keeps each major version's programs apart; take the newest.
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = lib.absoluteFilePath(v + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return {};
}

int freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}
}  // namespace

namespace {
std::unique_ptr<PostgresServer>& sharedServer() {
    static std::unique_ptr<PostgresServer> server;
    return server;
}
}  // namespace

PostgresServer& PostgresServer::shared() {
    if (!sharedServer()) sharedServer().reset(new PostgresServer);
    return *sharedServer();
}

void PostgresServer::shutdown() { sharedServer().reset(); }

PostgresServer::PostgresServer() {
    bin_ = serverPrograms();
    if (bin_.isEmpty()) {
        whyNot_ = QStringLiteral(
            "no PostgreSQL server programs (initdb, pg_ctl) under /usr/lib/postgresql");
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        whyNot_ = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        return;
    }
    if (initialise()) running_ = start();
}

PostgresServer::~PostgresServer() {
    if (running_) stop();
}

bool PostgresServer::runAsServerUser(const QStringList& command, QString* output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(dir_->path());
    if (geteuid() == 0)
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")} +
                    command);
    else
        p.start(command.first(), command.mid(1));
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output) *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

bool PostgresServer::initialise() {
    dir_ = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/archive-pg-XXXXXX"));
    if (!dir_->isValid()) {
        whyNot_ = QStringLiteral("no temporary folder for the server");
        return false;
    }
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody ||
            chown(dir_->path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            whyNot_ = QStringLiteral("cannot hand the server's folder to the user nobody");
            return false;
        }
    }
    port_ = freePort();
    QString out;
    if (!runAsServerUser({bin_ + QStringLiteral("/initdb"), QStringLiteral("-D"),
                          dir_->path() + QStringLiteral("/data"), QStringLiteral("-U"),
                          QStringLiteral("postgres"), QStringLiteral("-A"), QStringLiteral("trust"),
                          QStringLiteral("-E"), QStringLiteral("UTF8"),
                          QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
                         &out)) {
        whyNot_ = QStringLiteral("initdb failed: ") + out.right(400);
        return false;
    }
    return true;
}

bool PostgresServer::start() {
    const QString options =
        QStringLiteral(
            "-p %1 -c listen_addresses=127.0.0.1 -c unix_socket_directories='%2'"
            " -c fsync=off -c max_connections=40")
            .arg(port_)
            .arg(dir_->path());
    QString out;
    running_ = runAsServerUser({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"),
                                dir_->path() + QStringLiteral("/data"), QStringLiteral("-l"),
                                dir_->path() + QStringLiteral("/server.log"), QStringLiteral("-o"),
                                options, QStringLiteral("-w"), QStringLiteral("start")},
                               &out);
    if (!running_) whyNot_ = QStringLiteral("the server did not start: ") + out.right(400);
    return running_;
}

bool PostgresServer::stop() {
    const bool ok =
        runAsServerUser({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"),
                         dir_->path() + QStringLiteral("/data"), QStringLiteral("-m"),
                         QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    if (ok) running_ = false;
    return ok;
}

QString PostgresServer::url(const QString& database) const {
    return QStringLiteral("postgresql://postgres@127.0.0.1:%1/%2").arg(port_).arg(database);
}

QString PostgresServer::createDatabase(const QString& name) {
    const QString connection =
        QStringLiteral("pg-admin-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port_);
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            // The name comes from the test itself, never from outside.
            ok = q.exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok ? url(name) : QString();
}
