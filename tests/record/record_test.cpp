#include "record/record.h"

#include <gtest/gtest.h>

namespace {

// Round trips of built and arbitrary records are properties of the record
// fuzz target; these pin the bytes.
TEST(RecordTest, SavesEntriesInUnsignedByteOrderWithSeparators) {
    Record record;
    EXPECT_EQ(record.save(), "");
    record.putField("401.Memo Body", "abc");
    record.putField("400.Memo Title", "");
    EXPECT_EQ(record.save(), "400.Memo Title\xB5\xBA" "401.Memo Body\xB5" "abc\xBA");

    record.clear();
    for (const char* key : {"9", "100", "10", "\xE9", "z"}) record.putField(key, key);
    record.putField("9", "c");
    const std::string saved = "10\xB5" "10\xBA" "100\xB5" "100\xBA" "9\xB5" "c\xBA" "z\xB5z\xBA" "\xE9\xB5\xE9\xBA";
    EXPECT_EQ(record.save(), saved);
    EXPECT_EQ(record.getField("absent"), "");
    EXPECT_EQ(record.save(), saved) << "reading a missing key adds nothing";
    std::string out = "head:";
    Record two;
    two.putField("b", "2");
    two.putField("a", "b");
    two.dump(out);
    EXPECT_EQ(out, "head:a = b\r\nb = 2\r\n");
}

TEST(RecordTest, RestoreKeepsWhatItCanRead) {
    Record record;
    record.putField("old", "gone");
    const struct { std::string text, saved; } cases[] = {
        {"a\xB5" "b", ""},  // no 0xBA: empty record
        {"k\xB5" "first\xBA" "k\xB5" "second\xBA", "k\xB5" "first\xBA"},
        {"k\xB5" "a\xB5" "b\xBA", "k\xB5" "a\xB5" "b\xBA"},
        {"x\xBA" "k\xB5v\xBA\xBA" "\xB5" "empty key\xBA" "tail", "\xB5" "empty key\xBA" "k\xB5v\xBA"},
        {"b\xB5" "2\xBA" "a\xB5" "1\xBA" "b\xB5" "3\xBA", "a\xB5" "1\xBA" "b\xB5" "2\xBA"},
        {"", ""},
    };
    for (const auto& c : cases) {
        record.restore(c.text);
        EXPECT_EQ(record.save(), c.saved) << c.text;
    }
    record.restore("k\xB5" "a\xB5" "b\xBA");
    EXPECT_EQ(record.getField("k"), "a\xB5" "b");
}

}  // namespace
