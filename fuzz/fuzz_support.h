#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// What every fuzz target shares: a property check that stops the run with
// a crash libFuzzer records, and texts free of a format's separators.

/// Stops the run when a property does not hold; libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

/// The entry point of a target that checks `arbitrary` on the input's
/// bytes as a text, then `built` on values drawn from the same bytes.
#define FUZZ_TARGET(arbitrary, built)                                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) \
    {                                                                                   \
        arbitrary(std::string(reinterpret_cast<const char*>(data), size));             \
        FuzzedDataProvider input(data, size);                                           \
        built(input);                                                                   \
        return 0;                                                                       \
    }

namespace fuzz {

/// `text` without any of the bytes in `forbidden` (NUL is always removed,
/// since a message in the zone ends at its first NUL).
inline std::string without(std::string text, const std::string& forbidden)
{
    std::string kept;
    kept.reserve(text.size());
    for (const char byte : text)
        if (byte != '\0' && forbidden.find(byte) == std::string::npos)
            kept += byte;
    return kept;
}

/// A text of at most `maxLength` bytes from the input, stripped as above.
inline std::string takeText(FuzzedDataProvider& input, std::size_t maxLength,
                            const std::string& forbidden)
{
    return without(input.ConsumeRandomLengthString(maxLength), forbidden);
}

}  // namespace fuzz
