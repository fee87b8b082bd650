// The C interface without Palm Desktop: argument checks, text refused before anything is stored or sent, the
// liveness check, the recurrence's text form and the UTF-8 variants. The record as a map (absent and cleared
// fields too), the lists' order and the recurrence copied field by field are properties of the capi fuzz target.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "brannock.h"

namespace {

using Calls = std::vector<std::pair<const char*, std::function<int()>>>;

std::string text(const char* bytes, size_t length) { return std::string(bytes, length); }

class Capi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(BRANNOCK_OK, brannock_open(&master, nullptr));
        brannock_record_create(&record);
        brannock_repeat_create(&repeat);
        brannock_list_create(&list);
    }
    void TearDown() override {
        brannock_close(master);
        brannock_record_free(record);
        brannock_repeat_free(repeat);
        brannock_list_free(list);
    }
    brannock_master* master = nullptr;
    brannock_record* record = nullptr;
    brannock_repeat* repeat = nullptr;
    brannock_list* list = nullptr;
    const char* out = nullptr;
    size_t length = 0;
};

TEST_F(Capi, NullHandlesAndBuffersAreBadArguments) {
    int count;
    const Calls calls = {
        {"open", [] { return brannock_open(nullptr, nullptr); }},
        {"close", [] { return brannock_close(nullptr); }},
        {"set_time_limit", [] { return brannock_set_time_limit(nullptr, 5); }},
        {"begin_export", [] { return brannock_begin_export(nullptr, BRANNOCK_SECTION_MEMO); }},
        {"begin_import section", [&] { return brannock_begin_import(master, 4); }},
        {"end_import", [] { return brannock_end_import(nullptr); }},
        {"get_record_count", [&] { return brannock_get_record_count(master, nullptr); }},
        {"get_next_record", [&] { return brannock_get_next_record(master, nullptr); }},
        {"send_record record", [&] { return brannock_send_record(master, nullptr, &out, &length); }},
        {"send_record id", [&] { return brannock_send_record_utf8(master, record, nullptr, &length); }},
        {"delete_record", [&] { return brannock_delete_record(master, nullptr, 3); }},
        {"delete_all", [] { return brannock_delete_all(nullptr); }},
        {"read_categories list", [&] { return brannock_read_categories(master, 0, nullptr); }},
        {"read_categories section", [&] { return brannock_read_categories(master, -1, list); }},
        {"write_categories", [&] { return brannock_write_categories(nullptr, list); }},
        {"get_record_count handle", [&] { return brannock_get_record_count(nullptr, &count); }},
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

// With a limit and no Palm Desktop, a command that would be sent answers BRANNOCK_NOT_RUNNING at once; text that
// cannot travel is refused before that, and a record keeps what it held.
TEST_F(Capi, TextThatCannotTravelIsRefusedBeforeAnythingIsStoredOrSent) {
    ASSERT_EQ(BRANNOCK_OK, brannock_set_time_limit(master, 10000));
    const auto start = std::chrono::steady_clock::now();
    int count = -1;
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, brannock_get_record_count(master, &count));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(-1, count);
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, brannock_delete_record(master, "id", 2));
    brannock_record_put(record, "kept", 4, "old", 3);
    const auto put = [this](const std::string& key, const std::string& value) {
        return brannock_record_put(record, key.data(), key.size(), value.data(), value.size());
    };
    const Calls refused = {
        {"id with a field separator", [&] { return brannock_delete_record(master, "\xB6id", 3); }},
        {"id with a NUL", [&] { return brannock_delete_record(master, "i\0d", 3); }},
        {"UTF-8 id outside the code page", [&] { return brannock_delete_record_utf8(master, "\xE4\xB8\xAD", 3); }},
        {"malformed UTF-8 id", [&] { return brannock_delete_record_utf8(master, "\xC3", 1); }},
        {"UTF-8 key outside the code page",
         [&] { return brannock_record_put_utf8(record, "\xE4\xB8\xAD", 3, "v", 1); }},
        {"UTF-8 value outside the code page",
         [&] { return brannock_record_put_utf8(record, "k", 1, "\xE4\xB8\xAD", 3); }},
        {"UTF-8 category outside the code page", [&] { return brannock_list_add_utf8(list, "\xE4\xB8\xAD", 3); }},
        {"key with a key end", [&] { return put("key\xB5", "v"); }},
        {"key with an entry end", [&] { return put("key\xBA", "v"); }},
        {"key with a NUL", [&] { return put(std::string("k\0y", 3), "v"); }},
        {"value with an entry end", [&] { return put("kept", "val\xBA"); }},
        {"value with a NUL", [&] { return put("kept", std::string("v\0", 2)); }},
        {"category with a name end", [&] { return brannock_list_add(list, "a\xA3", 2); }},
        {"category with a field end", [&] { return brannock_list_add(list, "a\xB6", 2); }},
        {"repeat date with a field end", [&] { return brannock_repeat_put(repeat, "startDate", 9, "2024\xA7", 5); }},
        {"repeat date with an item end",
         [&] { return brannock_repeat_put(repeat, "exclusionDates", 14, "1,2\xBF", 4); }},
    };
    for (const auto& [name, call] : refused) EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, call()) << name;
    size_t fields = 9;
    brannock_record_count(record, &fields);
    EXPECT_EQ(1u, fields);
    brannock_record_get(record, "kept", 4, &out, &length);
    EXPECT_EQ("old", text(out, length));
    EXPECT_EQ(BRANNOCK_OK, put("k", "a\xB5" "b")) << "a value may hold the key end";
}

// A length no caller could mean is a bad argument. A text of the zone's size or more can never travel and is refused
// before it is copied, as is a put that would make the record's text too long, or a record whose message would not fit.
TEST_F(Capi, ImpossibleLengthsAndTextsThatCanNeverFitTheZoneAreRefusedAndTheProcessLivesOn) {
    const size_t huge = static_cast<size_t>(-1);
    const std::string big(1000000, 'v');
    const Calls badLengths = {
        {"record_put key", [&] { return brannock_record_put(record, "k", huge, "v", 1); }},
        {"record_put value", [&] { return brannock_record_put(record, "k", 1, "v", huge); }},
        {"record_put_utf8", [&] { return brannock_record_put_utf8(record, "k", huge, "v", 1); }},
        {"record_get", [&] { return brannock_record_get(record, "k", huge, &out, &length); }},
        {"record_get_utf8", [&] { return brannock_record_get_utf8(record, "k", huge, &out, &length); }},
        {"repeat_put", [&] { return brannock_repeat_put(repeat, "month", 5, "1", huge); }},
        {"repeat_get", [&] { return brannock_repeat_get(repeat, "month", huge, &out, &length); }},
        {"repeat_parse", [&] { return brannock_repeat_parse(repeat, "x", huge); }},
        {"list_add", [&] { return brannock_list_add(list, "a", huge); }},
        {"list_add_utf8", [&] { return brannock_list_add_utf8(list, "a", huge); }},
        {"delete_record", [&] { return brannock_delete_record(master, "i", huge); }},
        {"delete_record_utf8", [&] { return brannock_delete_record_utf8(master, "i", huge); }},
    };
    for (const auto& [name, call] : badLengths) EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, call()) << name;
    const std::string utf8(3000000, 'a');
    const Calls tooLong = {
        {"key", [&] { return brannock_record_put(record, big.data(), big.size(), "v", 1); }},
        {"value", [&] { return brannock_record_put(record, "k", 1, big.data(), big.size()); }},
        {"UTF-8 value", [&] { return brannock_record_put_utf8(record, "k", 1, utf8.data(), utf8.size()); }},
        {"key read", [&] { return brannock_record_get(record, big.data(), big.size(), &out, &length); }},
        {"repeat date", [&] { return brannock_repeat_put(repeat, "endDate", 7, big.data(), big.size()); }},
        {"repeat text", [&] { return brannock_repeat_parse(repeat, big.data(), big.size()); }},
        {"category", [&] { return brannock_list_add(list, big.data(), big.size()); }},
        {"UTF-8 category", [&] { return brannock_list_add_utf8(list, utf8.data(), utf8.size()); }},
        {"id", [&] { return brannock_delete_record(master, big.data(), big.size()); }},
    };
    for (const auto& [name, call] : tooLong) EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, call()) << name;
    EXPECT_EQ(BRANNOCK_OK, brannock_record_put(record, "k", 1, nullptr, 0)) << "no text: null with length 0";
    EXPECT_EQ(BRANNOCK_OK, brannock_record_put(record, "k", 1, big.data(), big.size() - 5));
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_record_put(record, "l", 1, "v", 1)) << "the record's text would not fit";
    out = "stale";
    EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, brannock_send_record(master, record, &out, &length)) << "nothing was sent";
    EXPECT_EQ("", text(out, length));
    out = "stale";
    EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, brannock_send_record(nullptr, record, &out, &length));
    EXPECT_EQ("", text(out, length)) << "the id is set whatever the result";
}

TEST_F(Capi, RecurrenceFieldsMakeTheRepeatText) {
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"startDate", "20240105"}, {"frequency", "2"}, {"endDate", "-1"}, {"repeatType", "12"},
        {"dayPattern", "0,1,0,1,0,0,0"}, {"exclusionDates", "20240117,20240124"},
    };
    for (const auto& [name, value] : fields)
        ASSERT_EQ(BRANNOCK_OK, brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size()))
            << name;
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
        EXPECT_EQ(BRANNOCK_BAD_ARGUMENT,
                  brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size()))
            << name << "=" << value;

    // Every number at its lowest and highest value comes back as given; one past either is refused.
    for (const std::string name :
         {"frequency", "numDaysToRepeat", "repeatType", "dayOfWeek", "weekOfMonth", "dayOfMonth", "month"}) {
        for (const std::string value : {"-2147483648", "2147483647"}) {
            EXPECT_EQ(BRANNOCK_OK, brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size()));
            brannock_repeat_get(repeat, name.data(), name.size(), &out, &length);
            EXPECT_EQ(value, text(out, length)) << name;
        }
        for (const std::string value : {"-2147483649", "2147483648"})
            EXPECT_EQ(BRANNOCK_BAD_ARGUMENT,
                      brannock_repeat_put(repeat, name.data(), name.size(), value.data(), value.size()))
                << name << "=" << value;
    }
}

// Reading assumed: Wine's ANSI code page here is 1252 (as on a Western
// Windows); under another one the bytes differ and the case is skipped.
TEST_F(Capi, Utf8VariantsConvertAtTheBoundary) {
    if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << ::GetACP();
    ASSERT_EQ(BRANNOCK_OK, brannock_record_put_utf8(record, "128.Last Name", 13, "M\xC3\xBCller \xE2\x82\xAC", 11));
    brannock_record_get(record, "128.Last Name", 13, &out, &length);
    EXPECT_EQ("M\xFCller \x80", text(out, length));
    brannock_record_put(record, "\xE9", 1, "x", 1);
    brannock_record_key_utf8(record, 1, &out, &length);
    EXPECT_EQ("\xC3\xA9", text(out, length));
    brannock_list_add(list, "Caf\xE9", 4);
    brannock_list_get_utf8(list, 0, &out, &length);
    EXPECT_EQ("Caf\xC3\xA9", text(out, length));
}

}  // namespace
