#pragma once

#include <cstdint>

// The scrambled base configurations compiled into the library (generated at build time from
// the INI sources in base/).
struct BaseResource {
    int32_t number;
    const uint8_t* data;
    int32_t size;
};

extern const BaseResource kBaseResources[];
extern const int32_t kBaseResourceCount;
