#include "RequestTrace.h"

#include "Protocol.h"
#include "ValueCodec.h"
#include "VariableId.h"

namespace sim {

namespace p = ecu::protocol;

std::string RequestTrace::operation(uint8_t code) {
    switch (code) {
        case p::kHello:
            return "Connect";
        case p::kBye:
            return "Disconnect";
        case p::kIdentity:
            return "ReadIdentity";
        case p::kBootCustomer:
            return "ReadBootCustomer";
        case p::kReadVariable:
            return "ReadVariable";
        case p::kWriteVariable:
            return "WriteVariable";
        case p::kWriteValue:
            return "WriteValue";
        case p::kReadRow:
            return "ReadRow";
        case p::kWriteRow:
            return "WriteRow";
        case p::kWriteElement:
            return "WriteElement";
        case p::kWriteElement2:
            return "WriteElement2";
        case p::kElementSize:
            return "QueryElementSize";
        case p::kReadBlock:
            return "ReadBlock";
        case p::kCommand:
            return "SendCommand";
        case p::kProgramStart:
            return "ProgramStart";
        case p::kProgramData:
            return "ProgramData";
        case p::kProgramEnd:
            return "ProgramEnd";
        default:
            return "Unknown" + std::to_string(code);
    }
}

std::string RequestTrace::line(const ecu::Frame& request) {
    const ecu::Bytes& a = request.payload;
    std::string out = operation(request.code);
    auto add = [&out](long long value) { out += " " + std::to_string(value); };
    const bool withId = request.code >= p::kReadVariable && request.code <= p::kWriteValue;
    if (withId && a.size() >= 4) {
        const ecu::VariableId id(ecu::ValueCodec::readU32(a.data()));
        add(id.raw());
        size_t at = 4;
        if (request.code == p::kReadRow || request.code == p::kWriteRow ||
            request.code == p::kWriteElement) {
            if (at < a.size()) add(a[at++]);
        } else if (request.code == p::kWriteElement2) {
            for (int i = 0; i < 2 && at < a.size(); ++i) add(a[at++]);
        }
        if (request.code != p::kReadVariable && request.code != p::kReadRow) {
            const int size = id.elementBytes();
            const bool isSigned = id.isSigned() && !id.isBitField();
            for (; at + size <= a.size(); at += size)
                add(ecu::ValueCodec::read(a.data() + at, id.isWide(), isSigned));
        }
        return out;
    }
    switch (request.code) {
        case p::kElementSize:
        case p::kReadBlock:
            for (uint8_t b : a) add(b);
            break;
        case p::kCommand:
            for (uint8_t b : a) add(b);
            break;
        case p::kProgramStart:
            if (a.size() == 7) add(ecu::ValueCodec::readU32(a.data() + 3));
            break;
        case p::kProgramData:
            if (a.size() >= 4) add(ecu::ValueCodec::readU32(a.data())), add(a.size() - 4);
            break;
        default:
            break;
    }
    return out;
}

}  // namespace sim
