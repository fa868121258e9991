#include <gtest/gtest.h>

#include <string>

#include "Crc16.h"
#include "FrameCodec.h"
#include "FrameParser.h"
#include "Protocol.h"
#include "ValueCodec.h"

namespace p = ecu::protocol;
using ecu::Bytes;

namespace {
Bytes hex(const std::string& text) {
    Bytes out;
    for (size_t i = 0; i + 1 < text.size(); i += 3)
        out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes u32(uint32_t v) {
    Bytes out;
    ecu::ValueCodec::appendU32(out, v);
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<ecu::Frame> parseAll(const Bytes& stream, uint8_t start = p::kReplyStart,
                                 bool lookAhead = true) {
    ecu::FrameParser parser(start, p::kMaxPayload, lookAhead);
    parser.feed(stream);
    std::vector<ecu::Frame> frames;
    while (auto f = parser.next()) frames.push_back(*f);
    // Then the line goes quiet: what still waits is a false start.
    parser.dropStalled();
    while (auto f = parser.next()) frames.push_back(*f);
    EXPECT_EQ(parser.buffered(), 0u);
    return frames;
}
}  // namespace

TEST(Crc16, CheckValue) {
    const std::string check = "123456789";
    EXPECT_EQ(ecu::Crc16::of(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0x29B1);
}

// The example frames of docs/ecu-protocol.md, byte for byte.
TEST(FrameCodec, ExampleFramesOfTheProtocolReference) {
    struct Case {
        const char* name;
        uint8_t start, sequence, code;
        Bytes payload;
        const char* wire;
    };
    const Case cases[] = {
        {"handshake", p::kRequestStart, 0, p::kHello, {'Q', 'L', 1}, "A5 03 00 01 51 4C 01 3A 87"},
        {"handshake reply", p::kReplyStart, 0, 0x81, {1, 255, 0}, "5A 03 00 81 01 FF 00 B3 5F"},
        {"ReadVariable 8963", p::kRequestStart, 1, p::kReadVariable, u32(8963),
         "A5 04 01 10 03 23 00 00 B8 35"},
        {"its reply 1044, 1",
         p::kReplyStart,
         1,
         0x90,
         {0x14, 0x04, 0x01, 0x00},
         "5A 04 01 90 14 04 01 00 85 6D"},
        {"WriteValue 528 1651", p::kRequestStart, 2, p::kWriteValue, u32(528) + Bytes{0x73, 0x06},
         "A5 06 02 16 10 02 00 00 73 06 C9 38"},
        {"its reply", p::kReplyStart, 2, 0x96, {}, "5A 00 02 96 81 49"},
        {"error: unknown variable",
         p::kReplyStart,
         3,
         p::kErrorReply,
         {0x10, 3},
         "5A 02 03 7F 10 03 7A 09"},
        {"ReadBlock 1", p::kRequestStart, 4, p::kReadBlock, {1}, "A5 01 04 20 01 73 38"},
        {"SendCommand 4 {84, 0}",
         p::kRequestStart,
         5,
         p::kCommand,
         {4, 0, 84, 0},
         "A5 04 05 30 04 00 54 00 6D 77"},
        {"its reply {6, 13}", p::kReplyStart, 5, 0xB0, {0, 6, 13}, "5A 03 05 B0 00 06 0D 7D 69"},
        {"WriteElement2 1173 1 1 3", p::kRequestStart, 6, p::kWriteElement2,
         u32(1173) + Bytes{1, 1, 3}, "A5 07 06 15 95 04 00 00 01 01 03 A7 05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes wire = hex(c.wire);
        EXPECT_EQ(ecu::FrameCodec::encode(c.start, c.sequence, c.code, c.payload), wire);
        const auto frames = parseAll(wire, c.start);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].sequence, c.sequence);
        EXPECT_EQ(frames[0].code, c.code);
        EXPECT_EQ(frames[0].payload, c.payload);
    }
    EXPECT_TRUE(ecu::FrameCodec::encode(p::kRequestStart, 1, 1, Bytes(256, 0)).empty());
}

TEST(FrameParser, Resynchronises) {
    const Bytes a = hex("5A 04 01 90 14 04 01 00 85 6D");
    const Bytes b = hex("5A 03 05 B0 00 06 0D 7D 69");
    // Sequence 124 gives this reply a CRC whose low byte is the start byte.
    const Bytes startInCrc = hex("5A 04 7C 90 14 04 01 00 5A 66");
    Bytes badCrc = a;
    badCrc[9] ^= 0x01;
    Bytes dropped = a;
    dropped.erase(dropped.begin() + 5);  // its length now reaches into the next frame
    Bytes longLength = a;
    longLength[1] = 200;  // corrupted length: claims far more than follows

    struct Case {
        const char* name;
        Bytes stream;
        std::vector<uint8_t> sequences;
    };
    Bytes truncated(a.begin(), a.begin() + 6);
    const Case cases[] = {
        {"garbage before", Bytes{0x00, 0xFF, 0x5A, 0x5A, 0x13} + a, {1}},
        {"two in a row", a + b, {1, 5}},
        {"bad CRC, then good", badCrc + b, {5}},
        {"dropped byte, then good", dropped + b, {5}},
        {"lying length, then good", longLength + b, {5}},
        {"lying length, then two good", longLength + b + a, {5, 1}},
        {"truncated, then good", truncated + b, {5}},
        {"truncated at the end", b + truncated, {5}},
        {"a start byte alone at the end", a + Bytes{0x5A}, {1}},
        {"CRC byte equal to the start byte", startInCrc + b, {124, 5}},
        {"requests are not replies", hex("A5 01 04 20 01 73 38") + b, {5}},
        {"oversized length, then good", Bytes{0x5A, 0xFF, 0x01} + b, {5}},
    };
    // Both ends: the link looks ahead past an incomplete candidate; the ECU, which executes
    // what it reads, gives one up only when the line goes quiet. Either finds every good frame.
    for (const bool lookAhead : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (lookAhead ? " (link)" : " (ECU)"));
            std::vector<uint8_t> got;
            for (const auto& f : parseAll(c.stream, p::kReplyStart, lookAhead))
                got.push_back(f.sequence);
            EXPECT_EQ(got, c.sequences);
        }
    }

    // Before the pause the ECU's end waits on a lying length; bytes fed after the pause are
    // not taken for part of the stalled candidate.
    ecu::FrameParser parser(p::kReplyStart, p::kMaxPayload, false);
    parser.feed(longLength);
    EXPECT_FALSE(parser.next().has_value());
    parser.dropStalled();
    EXPECT_FALSE(parser.next().has_value());
    parser.feed(b);
    const auto after = parser.next();
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->sequence, 5);
}

TEST(FrameParser, ByteByByteAndBoundedMemory) {
    const Bytes b = hex("5A 03 05 B0 00 06 0D 7D 69");
    ecu::FrameParser parser(p::kReplyStart, p::kMaxPayload);
    for (size_t i = 0; i + 1 < b.size(); ++i) {
        parser.feed(&b[i], 1);
        EXPECT_FALSE(parser.next().has_value());
    }
    parser.feed(&b.back(), 1);
    EXPECT_TRUE(parser.next().has_value());

    Bytes flood(100000, p::kReplyStart);
    parser.feed(flood);
    EXPECT_LE(parser.buffered(), 4u * p::kMaxFrame);
}
