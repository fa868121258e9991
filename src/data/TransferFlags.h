#pragma once

// What a transfer moves (TStreamDati::Transfer, TransferEngine).
namespace TransferFlag {
constexpr int kLoadDefaults = 0x01;  // defaults, then the configuration source
constexpr int kReadEcu = 0x02;
constexpr int kSaveFile = 0x04;
constexpr int kWriteEcu = 0x08;
}  // namespace TransferFlag
