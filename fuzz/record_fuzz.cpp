// Record::restore on arbitrary bytes, and the record round trip.
//
// Properties:
// - restore never fails, and what it keeps is stable: saving it and
//   restoring the text gives the same record;
// - a record built from separator-free keys and values restores equal,
//   entry by entry, from what save writes;
// - dump lists every entry.
#include "fuzz_support.h"
#include "record/record.h"

#include <map>
#include <string>

namespace {

void restoreArbitraryText(const std::string& text)
{
    Record first;
    first.restore(text);
    const std::string saved = first.save();
    FUZZ_CHECK(saved.size() <= text.size());
    Record second;
    second.restore(saved);
    FUZZ_CHECK(second.save() == saved);
    std::string listing;
    first.dump(listing);
}

void roundTripBuiltRecord(FuzzedDataProvider& input)
{
    std::map<std::string, std::string> entries;
    Record record;
    while (input.remaining_bytes() > 0) {
        const std::string key = fuzz::takeText(input, 40, "\xB5\xBA");
        const std::string value = fuzz::takeText(input, 300, "\xBA");
        entries[key] = value;
        record.putField(key, value);
    }
    Record restored;
    restored.putField("stale", "entry");
    restored.restore(record.save());
    FUZZ_CHECK(restored.save() == record.save());
    for (const auto& [key, value] : entries)
        FUZZ_CHECK(restored.getField(key) == value);
    std::string listing;
    restored.dump(listing);
    std::size_t lines = 0;
    for (std::size_t at = listing.find("\r\n"); at != std::string::npos; at = listing.find("\r\n", at + 2))
        ++lines;
    FUZZ_CHECK(lines >= entries.size());
}

}  // namespace

FUZZ_TARGET(restoreArbitraryText, roundTripBuiltRecord)
