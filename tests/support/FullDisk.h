#pragma once

// The file size limit of the process for the object's lifetime: a disk that fills up.
class FullDisk {
  public:
    explicit FullDisk(long long bytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

  private:
    unsigned long long savedCurrent_;
    void (*savedHandler_)(int);
};
