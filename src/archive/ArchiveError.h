#pragma once

#include <QString>

// Why an archive call failed. The kind lets the program pick its own message (once per
// session); the detail is the database's own text, for the log and for kvtool.
struct ArchiveError {
    enum class Kind {
        None,
        NotOpen,            // no archive is open
        CannotOpen,         // the file or the server refused the connection
        Damaged,            // the file is not a database, or its tables are not ours
        TooNew,             // written by a newer program: read-only, or not readable at all
        ReadOnly,           // the folder or the file cannot be written
        DiskFull,           // no room left for the write
        ServerUnreachable,  // the server went away; writes wait in the local queue
        InvalidInput,       // a value out of bounds (too long, empty serial, ...)
        NotFound,           // no row with that id or serial
        Database,           // any other failure the database reported
    };

    Kind kind = Kind::None;
    QString detail;

    bool isError() const { return kind != Kind::None; }
};
