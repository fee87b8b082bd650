// The C interface's master and UTF-8 text without Palm Desktop: argument
// checks, text refused before anything is sent, the liveness check.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "brannock.h"

namespace {

class CapiMaster : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(BRANNOCK_OK, brannock_open(&master, nullptr));
        brannock_record_create(&record);
        brannock_list_create(&list);
    }
    void TearDown() override {
        brannock_close(master);
        brannock_record_free(record);
        brannock_list_free(list);
    }
    brannock_master* master = nullptr;
    brannock_record* record = nullptr;
    brannock_list* list = nullptr;
};

TEST_F(CapiMaster, NullHandlesAndBuffersAreBadArguments) {
    const char* id;
    size_t length;
    int count;
    const std::vector<std::pair<const char*, std::function<int()>>> calls = {
        {"open", [] { return brannock_open(nullptr, nullptr); }},
        {"close", [] { return brannock_close(nullptr); }},
        {"set_time_limit", [] { return brannock_set_time_limit(nullptr, 5); }},
        {"begin_export", [] { return brannock_begin_export(nullptr, BRANNOCK_SECTION_MEMO); }},
        {"begin_import section", [&] { return brannock_begin_import(master, 4); }},
        {"end_import", [] { return brannock_end_import(nullptr); }},
        {"get_record_count", [&] { return brannock_get_record_count(master, nullptr); }},
        {"get_next_record", [&] { return brannock_get_next_record(master, nullptr); }},
        {"send_record record", [&] { return brannock_send_record(master, nullptr, &id, &length); }},
        {"send_record id", [&] { return brannock_send_record_utf8(master, record, nullptr, &length); }},
        {"delete_record", [&] { return brannock_delete_record(master, nullptr, 3); }},
        {"delete_all", [] { return brannock_delete_all(nullptr); }},
        {"read_categories list", [&] { return brannock_read_categories(master, 0, nullptr); }},
        {"read_categories section", [&] { return brannock_read_categories(master, -1, list); }},
        {"write_categories", [&] { return brannock_write_categories(nullptr, list); }},
        {"get_record_count handle", [&] { return brannock_get_record_count(nullptr, &count); }},
    };
    for (const auto& [name, call] : calls) EXPECT_EQ(BRANNOCK_BAD_ARGUMENT, call()) << name;
}

// With a limit and no Palm Desktop, a command that would be sent answers
// BRANNOCK_NOT_RUNNING at once; text that cannot travel is refused before that.
TEST_F(CapiMaster, TextThatCannotTravelIsRefusedBeforeAnythingIsSent) {
    ASSERT_EQ(BRANNOCK_OK, brannock_set_time_limit(master, 10000));
    const auto start = std::chrono::steady_clock::now();
    int count = -1;
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, brannock_get_record_count(master, &count));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(-1, count);
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, brannock_delete_record(master, "id", 2));
    const std::vector<std::pair<const char*, std::function<int()>>> refused = {
        {"ANSI id with a field separator", [&] { return brannock_delete_record(master, "i\xB6" "d", 3); }},
        {"ANSI id with a NUL", [&] { return brannock_delete_record(master, "i\0d", 3); }},
        {"UTF-8 id outside the code page", [&] { return brannock_delete_record_utf8(master, "\xE4\xB8\xAD", 3); }},
        {"malformed UTF-8 id", [&] { return brannock_delete_record_utf8(master, "\xC3", 1); }},
        {"UTF-8 key outside the code page", [&] { return brannock_record_put_utf8(record, "\xE4\xB8\xAD", 3, "v", 1); }},
        {"UTF-8 value outside the code page", [&] { return brannock_record_put_utf8(record, "k", 1, "\xE4\xB8\xAD", 3); }},
        {"UTF-8 category outside the code page", [&] { return brannock_list_add_utf8(list, "\xE4\xB8\xAD", 3); }},
    };
    for (const auto& [name, call] : refused) EXPECT_EQ(BRANNOCK_CANNOT_TRAVEL, call()) << name;
    size_t fields = 9;
    brannock_record_count(record, &fields);
    EXPECT_EQ(0u, fields);
}

// Reading assumed: Wine's ANSI code page here is 1252 (as on a Western
// Windows); under another one the bytes differ and the case is skipped.
TEST_F(CapiMaster, Utf8VariantsConvertAtTheBoundary) {
    if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << ::GetACP();
    ASSERT_EQ(BRANNOCK_OK, brannock_record_put_utf8(record, "128.Last Name", 13, "M\xC3\xBCller \xE2\x82\xAC", 11));
    const char* out;
    size_t length;
    brannock_record_get(record, "128.Last Name", 13, &out, &length);
    EXPECT_EQ("M\xFCller \x80", std::string(out, length));
    brannock_record_put(record, "\xE9", 1, "x", 1);
    brannock_record_key_utf8(record, 1, &out, &length);
    EXPECT_EQ("\xC3\xA9", std::string(out, length));
    brannock_list_add(list, "Caf\xE9", 4);
    brannock_list_get_utf8(list, 0, &out, &length);
    EXPECT_EQ("Caf\xC3\xA9", std::string(out, length));
}

}  // namespace
