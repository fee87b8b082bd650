#include "record/record.h"

#include "record/text_separators.h"

#include <algorithm>
#include <string_view>

namespace {
constexpr char keyEnd = separator::recordKeyEnd;
constexpr char entryEnd = separator::recordEntryEnd;
}  // namespace

// std::string compares with char_traits<char>, whose ordering is that of
// unsigned char: keys sort by unsigned bytes, the shorter of two prefixes
// first.

Record::Record() noexcept = default;
Record::Record(const Record& other) noexcept = default;
Record& Record::operator=(const Record& other) noexcept = default;
Record::~Record() noexcept = default;

void Record::putField(const std::string& key, const std::string& value) noexcept
{
    fields_[key] = value;
}

std::string Record::getField(const std::string& key) const noexcept
{
    const auto found = fields_.find(key);
    return found == fields_.end() ? std::string() : found->second;
}

void Record::clear() noexcept
{
    fields_.clear();
}

std::string Record::save() const noexcept
{
    std::string text;
    saveTo(text);
    return text;
}

void Record::saveTo(std::string& out) const noexcept
{
    // One pass over the entries, room made per entry with geometric growth.
    for (const auto& [key, value] : fields_) {
        const std::size_t needed = out.size() + key.size() + value.size() + 2;
        if (needed > out.capacity())
            out.reserve(std::max(needed, 2 * out.capacity()));
        out += key;
        out += keyEnd;
        out += value;
        out += entryEnd;
    }
}

void Record::restore(const std::string& text) noexcept
{
    restoreFrom(text);
}

void Record::restoreFrom(std::string_view all) noexcept
{
    fields_.clear();
    std::size_t start = 0;
    for (std::size_t end = all.find(entryEnd); end != std::string_view::npos;
         start = end + 1, end = all.find(entryEnd, start)) {
        const std::string_view entry = all.substr(start, end - start);
        const std::size_t split = entry.find(keyEnd);
        if (split == std::string_view::npos)
            continue;
        const std::string_view key = entry.substr(0, split);
        // Text written by save() comes in key order: each key then goes
        // behind the last one in constant time.
        const auto place = fields_.empty() || std::string_view(fields_.rbegin()->first) < key
                               ? fields_.end()
                               : fields_.lower_bound(key);
        if (place == fields_.end() || place->first != key)
            fields_.emplace_hint(place, std::string(key), std::string(entry.substr(split + 1)));
    }
}

void Record::dump(std::string& out) const noexcept
{
    for (const auto& [key, value] : fields_) {
        out += key;
        out += " = ";
        out += value;
        out += "\r\n";
    }
}
