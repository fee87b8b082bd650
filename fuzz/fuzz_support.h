#pragma once

// What the fuzz targets share: the check, the entry point, the separators and values drawn from the input.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "record/record.h"

/// Stops the run when a property does not hold; libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void()                                                                          \
                 : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition), \
                    std::abort()))

/// The entry point: `arbitrary` on the input's bytes as a text, then `built` on values drawn from the same bytes.
#define FUZZ_TARGET(arbitrary, built)                                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        arbitrary(std::string(reinterpret_cast<const char*>(data), size));             \
        FuzzedDataProvider input(data, size);                                           \
        built(input);                                                                   \
        return 0;                                                                       \
    }

namespace fuzz {

const std::string keyEnd = "\xB5", entryEnd = "\xBA";      // in a record
const std::string fieldEnd = "\xB6", nameEnd = "\xA3";     // in a message, in a category list
const std::string repeatEnd = "\xA7", itemEnd = "\xBF";    // in a recurrence, in its lists

/// A text of at most `maxLength` bytes without NUL (it ends a message in the zone) and the bytes in `forbidden`.
inline std::string takeText(FuzzedDataProvider& input, std::size_t maxLength, const std::string& forbidden) {
    std::string text = input.ConsumeRandomLengthString(maxLength);
    text.erase(std::remove_if(text.begin(), text.end(),
                              [&](char c) { return c == '\0' || forbidden.find(c) != std::string::npos; }),
               text.end());
    return text;
}

/// A record of up to `entries` separator-free entries; `model` receives them.
inline Record takeRecord(FuzzedDataProvider& input, int entries, std::map<std::string, std::string>& model) {
    Record record;
    for (int i = 0; i < entries && input.remaining_bytes() > 0; ++i) {
        const std::string key = takeText(input, 40, keyEnd + entryEnd);
        model[key] = takeText(input, 300, entryEnd);
        record.putField(key, model[key]);
    }
    return record;
}

}  // namespace fuzz
