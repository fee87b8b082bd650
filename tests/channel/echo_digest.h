#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

/// The length and 64-bit FNV-1a hash of a text, as "length:hash"; the echo
/// host answers a record with the digest of its text, so that the master
/// sees that every byte arrived.
inline std::string echoDigest(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : text) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ULL;
    }
    char digest[48];
    std::snprintf(digest, sizeof digest, "%zu:%016llx", text.size(), static_cast<unsigned long long>(hash));
    return digest;
}
