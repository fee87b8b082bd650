#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>


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

/// A text of at most `maxLength` bytes from the input without NUL (a message
/// in the zone ends there) and without the bytes in `forbidden`.
inline std::string takeText(FuzzedDataProvider& input, std::size_t maxLength,
                            const std::string& forbidden)
{
    std::string text = input.ConsumeRandomLengthString(maxLength);
    text.erase(std::remove_if(text.begin(), text.end(),
                              [&](char byte) { return byte == '\0' || forbidden.find(byte) != std::string::npos; }),
               text.end());
    return text;
}

}  // namespace fuzz
