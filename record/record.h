#pragma once

#include "record/brannock_api.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

/// One Palm Desktop item flattened into an ordered map of byte-string field
/// keys to byte-string values. Keys are ordered by their bytes compared as
/// unsigned values, which is the order of save() and dump().
///
/// Text form: for every entry, key, 0xB5, value, 0xBA. Keys must not hold
/// 0xB5 or 0xBA, values must not hold 0xBA, and neither may hold a NUL;
/// nothing is escaped or checked.
///
/// Every member is noexcept: running out of memory ends the process (see
/// brannock_api.h).
class BRANNOCK_API Record {
public:
    /// An empty record.
    Record() noexcept;
    /// Deep copy.
    Record(const Record& other) noexcept;
    /// Deep copy; assignment to itself changes nothing.
    Record& operator=(const Record& other) noexcept;
    ~Record() noexcept;

    /// Sets the value of a key, replacing any value it had.
    void putField(const std::string& key, const std::string& value) noexcept;
    /// The value of a key, or the empty string when the key is absent.
    std::string getField(const std::string& key) const noexcept;
    /// Removes every entry.
    void clear() noexcept;
    /// The number of entries.
    std::size_t fieldCount() const noexcept { return fields_.size(); }
    /// Calls `visit(key, value)` for every entry, in key order.
    template <typename Visit>
    void forEachField(Visit&& visit) const
    {
        for (const auto& [key, value] : fields_)
            visit(key, value);
    }

    /// The text form of the record.
    std::string save() const noexcept;
    /// Appends the text form of the record to `out`.
    void saveTo(std::string& out) const noexcept;
    /// Replaces the content with the entries read from a text form. Malformed
    /// pieces are dropped; of two entries with the same key the first wins.
    void restore(const std::string& text) noexcept;
    /// As restore(), reading the text in place.
    void restoreFrom(std::string_view text) noexcept;
    /// Appends one line "key = value\r\n" per entry to `out`.
    void dump(std::string& out) const noexcept;

private:
    std::map<std::string, std::string, std::less<>> fields_;
};
