#pragma once

#include <QByteArray>
#include <QString>

// kvtool report FILE OUT.pdf [--lang CODE] [--page A4|Letter]: the installation report of a
// configuration file, without what only the workshop archive knows (plate, customer, last
// calibration). The workshop's details come from the program's settings; the differences are
// from the base configuration of the file's fuel.
class ReportCommand {
  public:
    struct Options {
        QString key;       // scrambling key of the file
        QString library;   // base-configuration library
        QString language;  // Qt locale name of a language block ("en"); empty: the program's own
        QString page;      // "A4" (empty) or "Letter"
    };

    explicit ReportCommand(Options options) : options_(std::move(options)) {}

    // 0 written, 1 bad input or the file not written, 2 a bad option value.
    int Run(const QString& file, const QString& pdf);
    const QString& err() const { return err_; }

  private:
    bool ChooseLanguage();
    int Fail(const QString& message, int code = 1);

    Options options_;
    QString err_;
};
