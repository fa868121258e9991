#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "ConfigBaseLibrary.h"

// The commands of kvtool, apart from the process around them so that tests run them too.
//   kvtool decode FILE        the plain INI text of a configuration file
//   kvtool encode INI FILE    a scrambled configuration file from plain INI text
//   kvtool base               the base configurations: number, fuel, injector type
//   kvtool base N             base configuration N, decoded
//   kvtool diff A B           the differences of two configurations (DiffCommand); status 0
//                             equal, 1 different, 2 unreadable
//   kvtool encrypt FIRMWARE FILE   an encrypted programming file (key material of its own)
//   kvtool scramble FIRMWARE FILE  a scrambled programming file (the build's key or --key)
//   kvtool image FIRMWARE FILE     an image file: the length, then the firmware
//   kvtool report FILE OUT.pdf    the installation report of a configuration file (PDF)
//   kvtool archive ...             the workshop archive (ArchiveCommands)
// Options: --lang CODE and --page A4|Letter (report), --key TEXT (another scrambling key),
// --library FILE (another base library), --db LOCATION (the archive: a SQLite path or a
// postgresql:// URL; the settings' by default).
class KvTool {
  public:
    static constexpr int kOk = 0;
    static constexpr int kFailed = 1;  // bad input: the file, the resource, the library
    static constexpr int kUsage = 2;   // bad command line

    // args without the program name. Output and messages are collected in out() and err().
    int Run(const QStringList& args);
    const QByteArray& out() const { return out_; }
    const QString& err() const { return err_; }

    static QString Usage();
    // The configuration text without the "DECRYPTED_MLTP_FILE" line.
    static QByteArray PlainText(const QByteArray& unscrambled);

  private:
    int Decode(const QString& file);
    int Encode(const QString& ini, const QString& file);
    // kind: "encrypt", "scramble" or "image".
    int MakeProgrammingFile(const QString& kind, const QString& firmware, const QString& file);
    int Diff(const QString& a, const QString& b);
    int Report(const QString& file, const QString& pdf);
    QString& optionValue(const QString& option);
    int ListBase();
    int PrintBase(const QString& number);
    bool LoadLibrary();
    int Fail(const QString& message, int code = kFailed);

    std::unique_ptr<ConfigBaseLibrary> base_;
    QString key_;
    QString library_;
    QString language_;
    QString page_;
    QString db_;
    QByteArray out_;
    QString err_;
};
