#pragma once

#include <QChar>
#include <QString>

// Which customer this build serves, and the constants that follow from it. Fixed once at
// start by SetBuildProfile; every query answers for the profile of this build (mask 1024)
// until then.
class BuildProfile {
  public:
    static constexpr int kAllCustomersMask = 2047;
    static constexpr int kBlankCustomerCode = 253;  // an ECU that was never given a customer
    static constexpr int kModel34Cylinders = 30;
    static constexpr int kModel568Cylinders = 31;
    static constexpr int kDefaultKRows = 12;
    static constexpr int kDefaultKColumns = 6;
    static constexpr int kMaxTitleLength = 30;
    static constexpr int kMaxSubkeyLength = 12;
    static constexpr int kMaxKeyLength = 49;

    static void SetBuildProfile(int customerMask);

    static int CustomerMask();
    static int CustomerCode();
    // which = 0: the default model (30); 1: the second model (31).
    static int ModelCode(int which);
    static bool IsBuildModel(int modelCode);
    // "kv4" / "pk4" for the 3-4 cylinder model, "kv8" / "pk8" for any other.
    static QString ConfigExtension(int modelCode);
    static QString ProgramExtension(int modelCode);

    static QString ProductTitle();
    static QString RegistrySubkey();
    static QString ScrambleKey();
    // The text the store asks the profile for at start-up: the kit this build serves.
    static QString CustomerText();

    static int EditionFlags();
    static QChar EditionLetter();

    // Customer code -> mask: negative -> the build's mask; 7 -> 1024; 18 -> 6;
    // 253, 255 -> all; anything else -> 0.
    static int CustomerMaskOf(int code);
    // Mask -> customer code: all or more -> 255; 1024 -> 7; else the build's code.
    static int CustomerCodeOf(int mask);
    // The number of the highest set bit among bits 0..10, 0 when none.
    static int CustomerIndex(int mask);
};
