// The C interface: a recurrence parsed from any text, copied by its named fields into a fresh one, shows the same
// values there (or a field is refused for holding a separator), and the copy's text reads back to itself;
// records and lists accept exactly what can travel, a record answers as a map (keys in unsigned byte order) and
// reads empty once cleared, a list keeps its order.
#include <vector>

#include "capi/brannock.h"
#include "channel/travel_rules.h"
#include "fuzz_support.h"

namespace {

std::string handed(const char* text, std::size_t length) { return std::string(text, length); }

void copyRecurrenceByNames(const std::string& input) {
    brannock_repeat *parsed = nullptr, *copy = nullptr;
    FUZZ_CHECK(brannock_repeat_create(&parsed) == BRANNOCK_OK && brannock_repeat_create(&copy) == BRANNOCK_OK);
    FUZZ_CHECK(brannock_repeat_parse(parsed, input.data(), input.size()) == BRANNOCK_OK);
    const char *name, *value, *text;
    std::size_t nameLength, valueLength, length;
    for (std::size_t i = 0; brannock_repeat_key(parsed, i, &name, &nameLength) == BRANNOCK_OK; ++i) {
        const std::string key = handed(name, nameLength);
        FUZZ_CHECK(brannock_repeat_get(parsed, key.data(), key.size(), &value, &valueLength) == BRANNOCK_OK);
        const std::string shown = handed(value, valueLength);
        const int put = brannock_repeat_put(copy, key.data(), key.size(), shown.data(), shown.size());
        FUZZ_CHECK(put == BRANNOCK_OK || put == BRANNOCK_CANNOT_TRAVEL);
        if (put == BRANNOCK_OK) {
            FUZZ_CHECK(brannock_repeat_get(copy, key.data(), key.size(), &value, &valueLength) == BRANNOCK_OK);
            FUZZ_CHECK(handed(value, valueLength) == shown);
        }
    }
    brannock_repeat_text(copy, &text, &length);
    const std::string copyText = handed(text, length);
    FUZZ_CHECK(brannock_repeat_parse(parsed, copyText.data(), copyText.size()) == BRANNOCK_OK);
    brannock_repeat_text(parsed, &text, &length);
    FUZZ_CHECK(handed(text, length) == copyText);
    brannock_repeat_free(parsed);
    brannock_repeat_free(copy);
}

void recordAsMap(FuzzedDataProvider& input) {
    brannock_record* record = nullptr;
    brannock_list* list = nullptr;
    FUZZ_CHECK(brannock_record_create(&record) == BRANNOCK_OK && brannock_list_create(&list) == BRANNOCK_OK);
    std::map<std::string, std::string> model;
    std::vector<std::string> names;
    std::size_t count = 0, index = 0, length;
    while (input.remaining_bytes() > 0) {
        const std::string key = input.ConsumeRandomLengthString(24), value = input.ConsumeRandomLengthString(64);
        const bool travels = canTravel(key, TextPlace::FieldKey) && canTravel(value, TextPlace::FieldValue);
        const int put = brannock_record_put(record, key.data(), key.size(), value.data(), value.size());
        FUZZ_CHECK(put == (travels ? BRANNOCK_OK : BRANNOCK_CANNOT_TRAVEL));
        if (travels) model[key] = value;
        const int added = brannock_list_add(list, key.data(), key.size());
        FUZZ_CHECK(added == (canTravel(key, TextPlace::CategoryName) ? BRANNOCK_OK : BRANNOCK_CANNOT_TRAVEL));
        if (added == BRANNOCK_OK) names.push_back(key);
    }
    brannock_record_count(record, &count);
    FUZZ_CHECK(count == model.size());
    const char* text;
    for (const auto& [key, value] : model) {
        FUZZ_CHECK(brannock_record_key(record, index++, &text, &length) == BRANNOCK_OK);
        FUZZ_CHECK(handed(text, length) == key);
        FUZZ_CHECK(brannock_record_get(record, key.data(), key.size(), &text, &length) == BRANNOCK_OK);
        FUZZ_CHECK(handed(text, length) == value && text[length] == '\0');
    }
    FUZZ_CHECK(brannock_record_key(record, index, &text, &length) == BRANNOCK_NO_MORE);
    brannock_record_clear(record);
    brannock_record_count(record, &count);
    FUZZ_CHECK(count == 0 && brannock_record_key(record, 0, &text, &length) == BRANNOCK_NO_MORE);
    const std::string absent = model.empty() ? "k" : model.begin()->first;
    length = 9;
    FUZZ_CHECK(brannock_record_get(record, absent.data(), absent.size(), &text, &length) == BRANNOCK_OK);
    FUZZ_CHECK(length == 0 && text[0] == '\0');
    brannock_list_count(list, &count);
    FUZZ_CHECK(count == names.size());
    for (std::size_t i = 0; i <= names.size(); ++i) {
        const int got = brannock_list_get(list, i, &text, &length);
        FUZZ_CHECK(i < names.size() ? got == BRANNOCK_OK && handed(text, length) == names[i] : got == BRANNOCK_NO_MORE);
    }
    brannock_record_free(record);
    brannock_list_free(list);
}

}  // namespace

FUZZ_TARGET(copyRecurrenceByNames, recordAsMap)
