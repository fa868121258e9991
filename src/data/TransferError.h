#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A failure inside a transfer. The transfer catches it, closes its source and returns
// failure; the caller shows text() to the user.
class TransferError : public std::exception {
  public:
    explicit TransferError(QString text) : text_(std::move(text)), what_(text_.toUtf8()) {}

    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return what_.constData(); }

  private:
    QString text_;
    QByteArray what_;
};
