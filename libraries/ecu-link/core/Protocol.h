#pragma once

#include <cstdint>

// The serial protocol between the link library and the ECU (docs/ecu-protocol.md).
namespace ecu::protocol {

constexpr int kBaudRate = 38400;
constexpr int kBitsPerByte = 10;  // 8N1: start bit, 8 data bits, stop bit

// Requests start with one byte, replies with another, so an echoing line never passes a
// request off as a reply.
constexpr uint8_t kRequestStart = 0xA5;
constexpr uint8_t kReplyStart = 0x5A;
constexpr int kHeaderSize = 4;  // start, length, sequence, code
constexpr int kCrcSize = 2;
constexpr int kFrameOverhead = kHeaderSize + kCrcSize;
constexpr int kMaxPayload = 255;
constexpr int kMaxFrame = kFrameOverhead + kMaxPayload;

// The handshake always travels with sequence 0; every other request uses 1..255.
constexpr uint8_t kHelloSequence = 0;
constexpr uint8_t kReplyFlag = 0x80;
constexpr uint8_t kErrorReply = 0x7F;
constexpr uint8_t kProtocolVersion = 1;
constexpr uint8_t kHelloMagic0 = 'Q';
constexpr uint8_t kHelloMagic1 = 'L';

enum Request : uint8_t {
    kHello = 0x01,
    kBye = 0x02,
    kIdentity = 0x03,
    kBootCustomer = 0x04,
    kReadVariable = 0x10,
    kWriteVariable = 0x11,
    kReadRow = 0x12,
    kWriteRow = 0x13,
    kWriteElement = 0x14,
    kWriteElement2 = 0x15,
    kWriteValue = 0x16,
    kElementSize = 0x18,
    kReadBlock = 0x20,
    kCommand = 0x30,
    kProgramStart = 0x40,
    kProgramData = 0x41,
    kProgramEnd = 0x42,
};

enum Error : uint8_t {
    kUnknownRequest = 1,
    kBadPayload = 2,
    kUnknownVariable = 3,
    kBadId = 4,
    kBadIndex = 5,
    kOutOfRange = 6,
    kReadOnly = 7,
    kWriteRefused = 8,
    kNoSession = 9,
    kUnknownCommand = 10,
    kUnknownBlock = 11,
    kProgramSequence = 12,
};

constexpr int kProgramChunk = 128;
constexpr uint32_t kMaxImage = 512 * 1024;

// Programming results of ProgramFromBuffer / ProgramFromFile.
constexpr int32_t kProgramOk = 0;
constexpr int32_t kProgramBatteryLow = 1;
constexpr int32_t kProgramNoBootLoader = 2;
constexpr int32_t kProgramBadImage = -1;
constexpr int32_t kProgramRefused = -2;
constexpr int32_t kProgramTransferLost = -3;
constexpr int32_t kProgramVerifyFailed = -4;
constexpr int32_t kProgramNotReady = -5;

}  // namespace ecu::protocol
