// libFuzzer target: the INI reader of configurations on bytes in memory. Whatever it reads it
// writes back so that a second reading finds every key with the value the first found, and
// nothing more; a value set reads back as set.
#include <cstdlib>

#include "IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile first;
    first.Parse(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QByteArray written = first.ToBytes();
    IniFile second;
    second.Parse(written);
    if (second.ToBytes() != written || second.EntryCount() != first.EntryCount()) std::abort();
    for (const auto& [section, key] : first.Entries()) {
        const auto value = first.Value(section, key);
        if (!value || second.Value(section, key) != value) std::abort();
    }

    // A value with a line break in it stays on its own line: nothing else changes.
    second.SetValue(QStringLiteral("Fuzz"), QStringLiteral("Key"), QStringLiteral("a\r\nb=c"));
    const auto value = second.Value(QStringLiteral("fuzz"), QStringLiteral("KEY"));
    if (!value || *value != QStringLiteral("a  b=c")) std::abort();
    IniFile third;
    third.Parse(second.ToBytes());
    if (third.Value(QStringLiteral("Fuzz"), QStringLiteral("Key")) != value) std::abort();
    return 0;
}
