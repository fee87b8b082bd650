// The C interface's records, recurrences and category lists (platform-free:
// runs natively and under Wine).

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "capi/brannock.h"

namespace {

/// A text handed out by the interface, as a string.
std::string text(const char* bytes, size_t length) { return std::string(bytes, length); }

struct Handles {
    Handles() {
        brannock_record_create(&record);
        brannock_repeat_create(&repeat);
        brannock_list_create(&list);
    }
    ~Handles() {
        brannock_record_free(record);
        brannock_repeat_free(repeat);
        brannock_list_free(list);
    }
    brannock_record* record = nullptr;
    brannock_repeat* repeat = nullptr;
    brannock_list* list = nullptr;
};

TEST(CapiRecords, NullHandlesAndBuffersAreBadArguments) {
    Handles h;
    const char* out = nullptr;
    size_t length = 0;
    const std::vector<std::pair<const char*, std::function<int()>>> calls = {
        {"record_create", [] { return brannock_record_create(nullptr); }},
        {"record_free", [] { return brannock_record_free(nullptr); }},
        {"record_put handle", [] { return brannock_record_put(nullptr, "k", 1, "v", 1); }},
        {"record_put key", [&] { return brannock_record_put(h.record, nullptr, 1, "v", 1); }},
        {"record_put value", [&] { return brannock_record_put(h.record, "k", 1, nullptr, 3); }},
        {"record_get out", [&] { return brannock_record_get(h.record, "k", 1, nullptr, &length); }},
        {"record_get length", [&] { return brannock_record_get(h.record, "k", 1, &out, nullptr); }},
        {"record_count", [&] { return brannock_record_count(h.record, nullptr); }},
        {"record_key", [&] { return brannock_record_key(nullptr, 0, &out, &length); }},
        {"repeat_put", [&] { return brannock_repeat_put(nullptr, "month", 5, "1", 1); }},
        {"repeat_get", [&] { return brannock_repeat_get(h.repeat, "month", 5, &out, nullptr); }},
        {"repeat_parse", [&] { return brannock_repeat_parse(h.repeat, nullptr, 4); }},
        {"repeat_text", [&] { return brannock_repeat_text(nullptr, &out, &length); }},
        {"list_add", [&] { return brannock_list_add(h.list, nullptr, 2); }},
        {"list_get", [&] { return brannock_list_get(h.list, 0, nullptr, &length); }},
        {"list_count", [] { return brannock_list_count(nullptr, nullptr); }},
    };
    for (const auto& [name, call] : calls) EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, call()) << name;
}

TEST(CapiRecords, TextThatCannotTravelIsRefusedAndNothingChanges) {
    Handles h;
    brannock_record_put(h.record, "kept", 4, "old", 3);
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"key\xB5", "v"}, {"key\xBA", "v"}, {std::string("k\0y", 3), "v"}, {"kept", "val\xBA"},
        {"kept", std::string("v\0", 2)},
    };
    for (const auto& [key, value] : fields)
        EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_record_put(h.record, key.data(), key.size(), value.data(), value.size()))
            << key << "=" << value;
    const char* out;
    size_t length;
    size_t count = 0;
    brannock_record_count(h.record, &count);
    EXPECT_EQ(1u, count);
    brannock_record_get(h.record, "kept", 4, &out, &length);
    EXPECT_EQ("old", text(out, length));
    // A value may hold the key separator; a category name neither of its own.
    EXPECT_EQ(BRANNOCK_OK, brannock_record_put(h.record, "k", 1, "a\xB5" "b", 3));
    for (const char* name : {"a\xA3", "a\xB6"}) EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_list_add(h.list, name, 2));
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_repeat_put(h.repeat, "startDate", 9, "2024\xA7", 5));
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_repeat_put(h.repeat, "exclusionDates", 14, "1,2\xBF", 4));
}

TEST(CapiRecords, KeysWalkInUnsignedByteOrderAndFollowChanges) {
    Handles h;
    for (const char* key : {"b", "\xE9t\xE9", "a", "ab"}) brannock_record_put(h.record, key, std::strlen(key), "v", 1);
    const auto walk = [&] {
        std::vector<std::string> keys;
        const char* key;
        size_t length;
        for (size_t i = 0; brannock_record_key(h.record, i, &key, &length) == BRANNOCK_OK; ++i)
            keys.push_back(text(key, length));
        return keys;
    };
    EXPECT_EQ((std::vector<std::string>{"a", "ab", "b", "\xE9t\xE9"}), walk());
    brannock_record_put(h.record, "aa", 2, "", 0);
    EXPECT_EQ((std::vector<std::string>{"a", "aa", "ab", "b", "\xE9t\xE9"}), walk());
    brannock_record_clear(h.record);
    EXPECT_TRUE(walk().empty());
}

TEST(CapiRecords, AbsentFieldReadsEmpty) {
    Handles h;
    const char* out = "x";
    size_t length = 9;
    EXPECT_EQ(BRANNOCK_OK, brannock_record_get(h.record, "none", 4, &out, &length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ('\0', out[0]);
}

TEST(CapiRecords, RecurrenceFieldsMakeTheRepeatText) {
    Handles h;
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"startDate", "20240105"}, {"frequency", "2"},      {"endDate", "-1"},
        {"repeatType", "12"},      {"dayPattern", "0,1,0,1,0,0,0"},
        {"exclusionDates", "20240117,20240124"},
    };
    for (const auto& [name, value] : fields)
        ASSERT_EQ(BRANNOCK_OK, brannock_repeat_put(h.repeat, name.data(), name.size(), value.data(), value.size()))
            << name;
    const char* out;
    size_t length;
    brannock_repeat_text(h.repeat, &out, &length);
    const std::string expected =
        "20240105\xA7" "2\xA7" "-1\xA7" "0\xA7" "12\xA7" "0\xBF" "1\xBF" "0\xBF" "1\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
        "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20240117\xBF" "20240124\xBF\xA7";
    EXPECT_EQ(expected, text(out, length));

    Handles other;
    ASSERT_EQ(BRANNOCK_OK, brannock_repeat_parse(other.repeat, expected.data(), expected.size()));
    size_t count = 0;
    brannock_repeat_count(other.repeat, &count);
    EXPECT_EQ(11u, count);
    for (const auto& [name, value] : fields) {
        brannock_repeat_get(other.repeat, name.data(), name.size(), &out, &length);
        EXPECT_EQ(value, text(out, length)) << name;
    }
    brannock_repeat_key(other.repeat, 10, &out, &length);
    EXPECT_EQ("exclusionDates", text(out, length));
    EXPECT_EQ(BRANNOCK_NO_MORE, brannock_repeat_key(other.repeat, 11, &out, &length));
}

TEST(CapiRecords, MalformedRecurrenceValuesAreBadArguments) {
    Handles h;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"month", ""},          {"month", "1x"},          {"month", "+1"},         {"month", "2147483648"},
        {"dayPattern", "1,0"},  {"dayPattern", "1,0,0,0,0,0,0,0"}, {"frequency", "9999999999999999999999"},
        {"noSuchField", "1"},
    };
    for (const auto& [name, value] : bad)
        EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, brannock_repeat_put(h.repeat, name.data(), name.size(), value.data(), value.size()))
            << name << "=" << value;
}

TEST(CapiRecords, ListKeepsNamesInOrder) {
    Handles h;
    brannock_list_add(h.list, "Work", 4);
    brannock_list_add(h.list, "", 0);
    size_t count = 0;
    brannock_list_count(h.list, &count);
    EXPECT_EQ(2u, count);
    const char* out;
    size_t length;
    brannock_list_get(h.list, 0, &out, &length);
    EXPECT_EQ("Work", text(out, length));
    EXPECT_EQ(BRANNOCK_NO_MORE, brannock_list_get(h.list, 2, &out, &length));
}

}  // namespace
