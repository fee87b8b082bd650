// A record restored from any bytes is stable; one built from separator-free entries restores equal from its saved
// text, and dump lists every entry.
#include <climits>

#include "fuzz_support.h"

namespace {

void restoreArbitraryText(const std::string& text) {
    Record first, second;
    first.restore(text);
    const std::string saved = first.save();
    FUZZ_CHECK(saved.size() <= text.size());
    second.restore(saved);
    FUZZ_CHECK(second.save() == saved);
    std::string listing;
    first.dump(listing);
}

void roundTripBuiltRecord(FuzzedDataProvider& input) {
    std::map<std::string, std::string> entries;
    const Record record = fuzz::takeRecord(input, INT_MAX, entries);
    Record restored;
    restored.putField("stale", "entry");
    restored.restore(record.save());
    FUZZ_CHECK(restored.save() == record.save());
    for (const auto& [key, value] : entries) FUZZ_CHECK(restored.getField(key) == value);
    std::string listing;
    restored.dump(listing);
    std::size_t lines = 0;
    for (std::size_t at = listing.find("\r\n"); at != std::string::npos; at = listing.find("\r\n", at + 2)) ++lines;
    FUZZ_CHECK(lines >= entries.size());
}

}  // namespace

FUZZ_TARGET(restoreArbitraryText, roundTripBuiltRecord)
