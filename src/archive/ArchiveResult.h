#pragma once

#include <utility>

#include "ArchiveError.h"

// The outcome of an archive call: a value, or the error that stopped it. The archive never
// throws; a failed call changed nothing (every write is one transaction).
template <typename T>
class ArchiveResult {
  public:
    ArchiveResult(T value) : value_(std::move(value)) {}
    ArchiveResult(ArchiveError error) : error_(std::move(error)) {}
    static ArchiveResult failure(ArchiveError::Kind kind, QString detail = {}) {
        return ArchiveResult(ArchiveError{kind, std::move(detail)});
    }

    bool ok() const { return !error_.isError(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return value_; }
    T& value() { return value_; }
    const ArchiveError& error() const { return error_; }

  private:
    T value_{};
    ArchiveError error_;
};

// The value of a call that returns nothing but success.
struct ArchiveDone {};
