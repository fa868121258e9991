#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running program per user. The first start listens under the product title; a later
// start finds it, asks it to come forward and gives up.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when this is the first instance (it now listens). False when another instance
    // answered: it has been asked to come forward.
    bool Claim();
    QString ServerName() const { return serverName_; }

  signals:
    // A later start asked this instance to come forward.
    void raiseRequested();

  private:
    bool askRunningInstance();

    QString serverName_;
    QLocalServer server_;
};
