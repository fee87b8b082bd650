#include "channel/shared_zone.h"

#include <algorithm>
#include <cstring>

unsigned long SharedZone::open(const char* name, std::size_t size) noexcept
{
    try {
        name_ = name;
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    mapping_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(size), name));
    if (!mapping_)
        return ::GetLastError();
    view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
    if (!view_) {
        const unsigned long error = ::GetLastError();
        mapping_.reset();
        return error;
    }
    // An existing mapping of this name may be smaller than asked for; the
    // view then covers only its size (rounded up to whole pages).
    MEMORY_BASIC_INFORMATION region{};
    const std::size_t mapped =
        ::VirtualQuery(view_.get(), &region, sizeof region) ? region.RegionSize : 0;
    capacity_ = std::min(size, mapped);
    return 0;
}

bool SharedZone::write(std::string_view text) noexcept
{
    if (text.size() >= capacity_)
        return false;
    std::memcpy(view(), text.data(), text.size());
    view()[text.size()] = '\0';
    return true;
}

std::string_view SharedZone::message() const noexcept
{
    const char* start = view();
    const void* end = std::memchr(start, '\0', capacity_);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - start) : capacity_;
    return std::string_view(start, length);
}
