#pragma once

#include <QString>

// Temporary copies that an earlier run left behind in the system temporary folder.
class TempLeftovers {
  public:
    // Deletes every "_mp*.tmp", then every "_mt*.tmp" of folder (made writable first);
    // returns how many went.
    static int Remove(const QString& folder);
};
