#include "BuildProfile.h"

#include <array>
#include <cstdint>

#include "HiddenTables.h"
#include "HiddenText.h"

namespace {
constexpr int kBuildCustomerMask = 1024;
constexpr int kEditionFlags = 1;

struct Profile {
    int mask = kBuildCustomerMask;
    QString title;
    QString subkey;
    QString key;
    QString customerText;
};

QString decoded(std::span<const uint8_t> table, int maxLength) {
    return QString::fromLatin1(HiddenText::decode(table)).left(maxLength);
}

Profile makeProfile(int mask) {
    Profile p;
    p.mask = mask;
    p.title = decoded(HiddenTables::kProductTitle, BuildProfile::kMaxTitleLength);
    p.subkey = decoded(HiddenTables::kRegistrySubkey, BuildProfile::kMaxSubkeyLength);
    p.key = decoded(HiddenTables::kScrambleKey, BuildProfile::kMaxKeyLength);
    p.customerText = decoded(HiddenTables::kCustomerText, 255);
    return p;
}

Profile& profile() {
    static Profile p = makeProfile(kBuildCustomerMask);
    return p;
}
}  // namespace

void BuildProfile::SetBuildProfile(int customerMask) { profile() = makeProfile(customerMask); }

int BuildProfile::CustomerMask() { return profile().mask; }

int BuildProfile::CustomerCode() {
    // This build's ECU customer code; only the build mask 1024 is issued here.
    return 7;
}

int BuildProfile::ModelCode(int which) {
    return which == 1 ? kModel568Cylinders : kModel34Cylinders;
}

bool BuildProfile::IsBuildModel(int modelCode) {
    return modelCode == kModel34Cylinders || modelCode == kModel568Cylinders;
}

QString BuildProfile::ConfigExtension(int modelCode) {
    return modelCode == kModel34Cylinders ? QStringLiteral("kv4") : QStringLiteral("kv8");
}

QString BuildProfile::ProgramExtension(int modelCode) {
    return modelCode == kModel34Cylinders ? QStringLiteral("pk4") : QStringLiteral("pk8");
}

QString BuildProfile::ProductTitle() { return profile().title; }
QString BuildProfile::RegistrySubkey() { return profile().subkey; }
QString BuildProfile::ScrambleKey() { return profile().key; }
QString BuildProfile::CustomerText() { return profile().customerText; }

int BuildProfile::EditionFlags() { return kEditionFlags; }

QChar BuildProfile::EditionLetter() {
    const int flags = EditionFlags();
    if (flags & 0x8) return u'A';
    if (flags & 0x4) return u'S';
    if (flags & 0x2) return u'C';
    return u'I';
}

int BuildProfile::CustomerMaskOf(int code) {
    if (code < 0) return CustomerMask();
    switch (code) {
        case 7:
            return 1024;
        case 18:
            return 6;
        case 253:
        case 255:
            return kAllCustomersMask;
        default:
            return 0;
    }
}

int BuildProfile::CustomerCodeOf(int mask) {
    if (mask >= kAllCustomersMask) return 255;
    if (mask == 1024) return 7;
    return CustomerCode();
}

int BuildProfile::CustomerIndex(int mask) {
    for (int bit = 10; bit >= 0; --bit) {
        if (mask & (1 << bit)) return bit;
    }
    return 0;
}
