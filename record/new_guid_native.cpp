#include "record/new_guid.h"

#include <cstdint>
#include <cstdio>
#include <random>

// A version-4 (random) GUID, as CoCreateGuid makes them on Windows.
std::string newRecordId()
{
    static std::random_device source;
    static std::mt19937_64 generator(
        (static_cast<std::uint64_t>(source()) << 32) ^ source());
    const std::uint64_t high = generator();
    const std::uint64_t low = generator();
    const auto data1 = static_cast<unsigned long>(high >> 32);
    const auto data2 = static_cast<unsigned>((high >> 16) & 0xFFFF);
    const auto data3 = static_cast<unsigned>((high & 0x0FFF) | 0x4000);
    const auto data4 = static_cast<unsigned>(((low >> 48) & 0x3FFF) | 0x8000);
    const auto node = static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL);
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%04X-%012llX}", data1, data2, data3,
                  data4, node);
    return text;
}
