// The C interface's records, recurrences and category lists (platform-free:
// runs natively and under Wine). The record as a map, its key order and the
// recurrence copied field by field are properties of the capi fuzz target.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "capi/brannock.h"

namespace {

std::string text(const char* bytes, size_t length) { return std::string(bytes, length); }

class CapiRecords : public ::testing::Test {
protected:
    void SetUp() override {
        brannock_record_create(&record);
        brannock_repeat_create(&repeat);
        brannock_list_create(&list);
    }
    void TearDown() override {
        brannock_record_free(record);
        brannock_repeat_free(repeat);
        brannock_list_free(list);
    }
    brannock_record* record = nullptr;
    brannock_repeat* repeat = nullptr;
    brannock_list* list = nullptr;
    const char* out = nullptr;
    size_t length = 0;
};

TEST_F(CapiRecords, NullHandlesAndBuffersAreBadArguments) {
    const std::vector<std::pair<const char*, std::function<int()>>> calls = {
        {"record_create", [] { return brannock_record_create(nullptr); }},
        {"record_free", [] { return brannock_record_free(nullptr); }},
        {"record_put handle", [] { return brannock_record_put(nullptr, "k", 1, "v", 1); }},
        {"record_put key", [&] { return brannock_record_put(record, nullptr, 1, "v", 1); }},
        {"record_put value", [&] { return brannock_record_put(record, "k", 1, nullptr, 3); }},
        {"record_get out", [&] { return brannock_record_get(record, "k", 1, nullptr, &length); }},
        {"record_get length", [&] { return brannock_record_get(record, "k", 1, &out, nullptr); }},
        {"record_count", [&] { return brannock_record_count(record, nullptr); }},
        {"record_key", [&] { return brannock_record_key(nullptr, 0, &out, &length); }},
        {"repeat_put", [&] { return brannock_repeat_put(nullptr, "month", 5, "1", 1); }},
        {"repeat_get", [&] { return brannock_repeat_get(repeat, "month", 5, &out, nullptr); }},
        {"repeat_parse", [&] { return brannock_repeat_parse(repeat, nullptr, 4); }},
        {"repeat_text", [&] { return brannock_repeat_text(nullptr, &out, &length); }},
        {"list_add", [&] { return brannock_list_add(list, nullptr, 2); }},
        {"list_get", [&] { return brannock_list_get(list, 0, nullptr, &length); }},
        {"list_count", [] { return brannock_list_count(nullptr, nullptr); }},
    };
    for (const auto& [name, call] : calls) EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, call()) << name;
}

TEST_F(CapiRecords, TextThatCannotTravelIsRefusedAndNothingChanges) {
    brannock_record_put(record, "kept", 4, "old", 3);
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"key\xB5", "v"}, {"key\xBA", "v"}, {std::string("k\0y", 3), "v"}, {"kept", "val\xBA"},
        {"kept", std::string("v\0", 2)},
    };
    for (const auto& [key, value] : fields)
        EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_record_put(record, key.data(), key.size(), value.data(), value.size()))
            << key << "=" << value;
    size_t count = 0;
    brannock_record_count(record, &count);
    EXPECT_EQ(1u, count);
    brannock_record_get(record, "kept", 4, &out, &length);
    EXPECT_EQ("old", text(out, length));
    // A value may hold the key separator; a category name neither of its own.
    EXPECT_EQ(BRANNOCK_OK, brannock_record_put(record, "k", 1, "a\xB5" "b", 3));
    for (const char* name : {"a\xA3", "a\xB6"}) EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_list_add(list, name, 2));
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_repeat_put(repeat, "startDate", 9, "2024\xA7", 5));
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_repeat_put(repeat, "exclusionDates", 14, "1,2\xBF", 4));
}

TEST_F(CapiRecords, AbsentFieldReadsEmptyClearEmptiesAndListsKeepTheirOrder) {
    out = "x";
    length = 9;
    brannock_record_put(record, "k", 1, "v", 1);
    brannock_record_clear(record);
    EXPECT_EQ(BRANNOCK_OK, brannock_record_get(record, "k", 1, &out, &length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ('\0', out[0]);
    EXPECT_EQ(BRANNOCK_NO_MORE, brannock_record_key(record, 0, &out, &length));

    brannock_list_add(list, "Work", 4);
    brannock_list_add(list, "", 0);
    brannock_list_add(list, "Home", 4);
    size_t count = 0;
    brannock_list_count(list, &count);
    EXPECT_EQ(3u, count);
    brannock_list_get(list, 2, &out, &length);
    EXPECT_EQ("Home", text(out, length));
    EXPECT_EQ(BRANNOCK_NO_MORE, brannock_list_get(list, 3, &out, &length));
}

TEST_F(CapiRecords, RecurrenceFieldsMakeTheRepeatText) {
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"startDate", "20240105"}, {"frequency", "2"}, {"endDate", "-1"}, {"repeatType", "12"},
        {"dayPattern", "0,1,0,1,0,0,0"}, {"exclusionDates", "20240117,20240124"},
    };
    for (const auto& [name, value] : fields)
        ASSERT_EQ(BRANNOCK_OK, brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size())) << name;
    brannock_repeat_text(repeat, &out, &length);
    const std::string expected =
        "20240105\xA7" "2\xA7" "-1\xA7" "0\xA7" "12\xA7" "0\xBF" "1\xBF" "0\xBF" "1\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
        "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20240117\xBF" "20240124\xBF\xA7";
    EXPECT_EQ(expected, text(out, length));

    brannock_repeat_free(repeat);
    brannock_repeat_create(&repeat);
    ASSERT_EQ(BRANNOCK_OK, brannock_repeat_parse(repeat, expected.data(), expected.size()));
    size_t count = 0;
    brannock_repeat_count(repeat, &count);
    EXPECT_EQ(11u, count);
    for (const auto& [name, value] : fields) {
        brannock_repeat_get(repeat, name.data(), name.size(), &out, &length);
        EXPECT_EQ(value, text(out, length)) << name;
    }
    brannock_repeat_key(repeat, 10, &out, &length);
    EXPECT_EQ("exclusionDates", text(out, length));
    EXPECT_EQ(BRANNOCK_NO_MORE, brannock_repeat_key(repeat, 11, &out, &length));

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"month", ""}, {"month", "1x"}, {"month", "+1"}, {"month", "2147483648"}, {"dayPattern", "1,0"},
        {"dayPattern", "1,0,0,0,0,0,0,0"}, {"frequency", "9999999999999999999999"}, {"noSuchField", "1"},
    };
    for (const auto& [name, value] : bad)
        EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size()))
            << name << "=" << value;
}

}  // namespace
