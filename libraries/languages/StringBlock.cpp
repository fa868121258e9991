#include "StringBlock.h"

namespace {
std::string unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}
}  // namespace

StringBlock::StringBlock(const unsigned char* data, std::size_t size, int32_t maxNumber) {
    std::string line;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            parseLine(line, maxNumber);
            line.clear();
        } else {
            line += static_cast<char>(data[i]);
        }
    }
}

void StringBlock::parseLine(const std::string& line, int32_t maxNumber) {
    if (line.empty() || line[0] == '#') return;
    const std::size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string::npos || tab > 9) return;
    int32_t number = 0;
    for (std::size_t i = 0; i < tab; ++i) {
        if (line[i] < '0' || line[i] > '9') return;
        number = number * 10 + (line[i] - '0');
    }
    std::string text = unescape(line.substr(tab + 1));
    if (number >= maxNumber || text.size() > kMaxTextBytes) return;
    texts_[number] = std::move(text);
}

const std::string* StringBlock::find(int32_t number) const {
    const auto it = texts_.find(number);
    return it == texts_.end() ? nullptr : &it->second;
}
