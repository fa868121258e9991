#include "PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

PtyLine::PtyLine(sim::VirtualEcu& ecu, sim::LineFaults& faults) : ecu_(ecu), faults_(faults) {
    startUs_ = nowUs();
}

PtyLine::~PtyLine() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

int64_t PtyLine::nowUs() const {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000 + t.tv_nsec / 1000;
}

bool PtyLine::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        error = "no name for the pseudo-terminal";
        return false;
    }
    device_ = name;
    // Held open so the master never sees a hang-up between the program's sessions.
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        return false;
    }
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B38400);
    cfsetospeed(&raw, B38400);
    tcsetattr(slave_, TCSANOW, &raw);
    return true;
}

int PtyLine::currentBaud() const {
    if (pace_ > 0) return pace_;
    if (pace_ == 0) return 0;
    termios t{};
    if (tcgetattr(slave_, &t) != 0) return 0;
    switch (cfgetospeed(&t)) {
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        default:
            return 0;
    }
}

void PtyLine::readInput(int64_t now) {
    uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) return;
        ecu::Bytes bytes(buffer, buffer + n);
        if (!faults_.pass(bytes, ecu_.framesReceived())) continue;
        faults_.speed.setBaud(currentBaud());
        const int64_t byteUs = faults_.speed.microsFor(1);
        int64_t at = std::max(lastInUs_, now);
        for (uint8_t b : bytes) {
            at += byteUs;
            inbound_.push_back({at, b});
        }
        lastInUs_ = at;
    }
}

void PtyLine::deliverDue(int64_t now) {
    ecu::Bytes batch;
    while (!inbound_.empty() && inbound_.front().atUs <= now) {
        batch.push_back(inbound_.front().byte);
        inbound_.pop_front();
    }
    ecu::Bytes reply = batch.empty() ? ecu_.idle(nowMs()) : ecu_.receive(batch, nowMs());
    if (reply.empty() || !faults_.pass(reply, ecu_.framesReceived())) return;
    const int64_t byteUs = faults_.speed.microsFor(1);
    int64_t at = std::max<int64_t>(lastOutUs_, now + faults_.latency.delayMs() * int64_t{1000});
    for (uint8_t b : reply) {
        at += byteUs;  // a byte is there once its stop bit is
        outbound_.push_back({at, b});
    }
    lastOutUs_ = at;
}

void PtyLine::writeDue(int64_t now) {
    uint8_t buffer[512];
    size_t n = 0;
    while (!outbound_.empty() && outbound_.front().atUs <= now && n < sizeof buffer) {
        buffer[n++] = outbound_.front().byte;
        outbound_.pop_front();
    }
    size_t written = 0;
    while (written < n) {
        const ssize_t w = ::write(master_, buffer + written, n - written);
        if (w <= 0) break;  // nobody reads: the bytes are lost, as on a real line
        written += static_cast<size_t>(w);
    }
}

int64_t PtyLine::nextEventUs(int64_t now) const {
    int64_t next = now + 50'000;  // the engine keeps running
    // The ECU reads a request once it has all come in; replies leave in pieces of about a
    // millisecond, as a USB adapter hands them on, the last byte exactly on its time.
    if (!inbound_.empty()) next = std::min(next, inbound_.back().atUs);
    if (const auto stall = ecu_.stallCheckMs()) next = std::min(next, startUs_ + *stall * 1000);
    if (!outbound_.empty())
        next = std::min({next, outbound_.front().atUs + 1000, outbound_.back().atUs});
    return next;
}

int PtyLine::run(volatile std::sig_atomic_t& stop) {
    prctl(PR_SET_TIMERSLACK, 1UL);  // wake on the microsecond the next byte is due
    while (!stop) {
        int64_t now = nowUs();
        const int64_t wait = std::max<int64_t>(0, nextEventUs(now) - now);
        pollfd fds[2] = {{master_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const timespec timeout{static_cast<time_t>(wait / 1'000'000),
                               static_cast<long>((wait % 1'000'000) * 1000)};
        const int ready = ppoll(fds, exitOnEof_ ? 2 : 1, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) return 1;
        now = nowUs();
        if (ready > 0 && (fds[0].revents & POLLIN)) readInput(now);
        if (exitOnEof_ && ready > 0 && (fds[1].revents & (POLLIN | POLLHUP))) {
            char c;
            if (::read(STDIN_FILENO, &c, 1) <= 0) return 0;
        }
        deliverDue(now);
        writeDue(now);
        if (ready > 0 && (fds[0].revents & POLLHUP) && inbound_.empty()) usleep(1000);
    }
    return 0;
}
