#include "FullDisk.h"

#include <signal.h>
#include <sys/resource.h>

FullDisk::FullDisk(long long bytes) {
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    savedCurrent_ = limit.rlim_cur;
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails, as on a full disk
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk() {
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(savedCurrent_);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, savedHandler_);
}
