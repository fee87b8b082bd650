#pragma once

#include <windows.h>

namespace win {

/// A critical section that lives as long as its owner; neither copied nor
/// moved, since Windows keeps pointers into it while it is held.
class CriticalSection {
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    /// Holds the section from construction to destruction.
    class Lock {
    public:
        explicit Lock(CriticalSection& owner) noexcept : owner_(owner) { ::EnterCriticalSection(&owner_.section_); }
        ~Lock() { ::LeaveCriticalSection(&owner_.section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CriticalSection& owner_;
    };

private:
    CRITICAL_SECTION section_;
};

}  // namespace win
