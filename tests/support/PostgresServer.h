#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real PostgreSQL server for the tests, in a temporary folder under /tmp (the server user
// must reach it), started on first use and
// stopped when the test program ends. Run as root, the server runs as "nobody" (PostgreSQL
// refuses root). Without the server's programs, available() is false and whyNot() says so.
class PostgresServer {
  public:
    // The one server of this test program; started on the first call.
    static PostgresServer& shared();
    // Stops the shared server, if one was started (from a test environment's TearDown, while
    // the application object still lives).
    static void shutdown();
    ~PostgresServer();

    bool available() const { return running_; }
    const QString& whyNot() const { return whyNot_; }

    // A new, empty database; its URL for the archive ("postgresql://postgres@127.0.0.1:port/name").
    QString createDatabase(const QString& name);
    QString url(const QString& database) const;

    // The server going away in the middle of a session, and coming back on the same port.
    bool stop();
    bool start();

  private:
    PostgresServer();
    bool initialise();
    bool runAsServerUser(const QStringList& command, QString* output = nullptr);

    std::unique_ptr<QTemporaryDir> dir_;
    QString bin_;
    int port_ = 0;
    bool running_ = false;
    QString whyNot_;
};
