#pragma once

#include "win/unique_handle.h"

#include <cstddef>
#include <string>
#include <string_view>

/// The named block of shared memory in which master and slave leave their
/// messages: one NUL-terminated text at its first byte.
///
/// Its bound is the size of the view actually mapped, as VirtualQuery
/// reports it, and at most the size asked for: a mapping of the same name
/// that another process created first keeps its own size, which may be
/// smaller. Nothing is ever read or written beyond that bound.
class SharedZone {
public:
    /// A zone not yet opened: no mapping, no view, capacity 0.
    SharedZone() noexcept = default;
    /// Opens the zone as open() does; throws the system's last-error code
    /// as `unsigned long` when that fails.
    SharedZone(const char* name, std::size_t size)
    {
        if (const unsigned long error = open(name, size))
            throw error;
    }

    SharedZone(const SharedZone&) = delete;
    SharedZone& operator=(const SharedZone&) = delete;

    /// Creates the paging-file mapping `name` of `size` bytes, or opens it
    /// when it exists, and maps a read/write view of all of it. Returns 0, or
    /// the system's last-error code when either step fails (the zone then
    /// stays unopened).
    unsigned long open(const char* name, std::size_t size) noexcept;
    /// The start of the zone.
    char* view() const noexcept { return static_cast<char*>(view_.get()); }
    /// The number of bytes a message, with its NUL, may occupy.
    std::size_t capacity() const noexcept { return capacity_; }
    /// The name of the mapping.
    const std::string& name() const noexcept { return name_; }

    /// Copies `text` and a NUL to the start of the zone. A text that would
    /// not fit with its NUL is not written at all, and the answer is false.
    bool write(std::string_view text) noexcept;
    /// The message standing in the zone: the bytes up to the first NUL, or
    /// all `capacity()` bytes when the zone holds no NUL.
    std::string_view message() const noexcept;

private:
    std::string name_;
    win::UniqueHandle mapping_;
    win::UniqueMappedView view_;
    std::size_t capacity_ = 0;
};
