#include "record/record.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordTest, SavesEntriesInUnsignedByteOrderWithSeparators)
{
    Record record;
    EXPECT_EQ(record.save(), "");
    record.putField("401.Memo Body", "abc");
    record.putField("400.Memo Title", "");
    EXPECT_EQ(record.save(), "400.Memo Title\xB5\xBA" "401.Memo Body\xB5" "abc\xBA");

    Record order;
    order.putField("9", "c");
    order.putField("100", "b");
    order.putField("10", "a");
    order.putField("\xE9", "high");  // above every ASCII byte, unsigned
    order.putField("z", "low");
    EXPECT_EQ(order.save(), "10\xB5" "a\xBA" "100\xB5" "b\xBA" "9\xB5" "c\xBA"
                            "z\xB5" "low\xBA" "\xE9\xB5" "high\xBA");
}

TEST(RecordTest, PutReplacesAndGetOfMissingKeyAddsNothing)
{
    Record record;
    record.putField("k", "one");
    record.putField("k", "two");
    EXPECT_EQ(record.getField("k"), "two");
    EXPECT_EQ(record.getField("absent"), "");
    EXPECT_EQ(record.save(), "k\xB5two\xBA");
    record.clear();
    EXPECT_EQ(record.save(), "");
}

TEST(RecordTest, RestoreKeepsWhatItCanRead)
{
    Record record;
    record.putField("old", "gone");
    record.restore("a\xB5" "b");
    EXPECT_EQ(record.save(), "") << "no 0xBA: empty record";

    record.restore("k\xB5" "first\xBA" "k\xB5" "second\xBA");
    EXPECT_EQ(record.save(), "k\xB5" "first\xBA");

    record.restore("k\xB5" "a\xB5" "b\xBA");
    EXPECT_EQ(record.getField("k"), "a\xB5" "b");

    record.restore("x\xBA" "k\xB5v\xBA\xBA" "\xB5" "empty key\xBA" "tail");
    EXPECT_EQ(record.save(), "\xB5" "empty key\xBA" "k\xB5v\xBA");

    record.restore("b\xB5" "2\xBA" "a\xB5" "1\xBA" "b\xB5" "3\xBA");
    EXPECT_EQ(record.save(), "a\xB5" "1\xBA" "b\xB5" "2\xBA") << "out of key order";

    record.restore("");
    EXPECT_EQ(record.save(), "");
}

TEST(RecordTest, DumpAppendsOneLinePerEntry)
{
    Record record;
    record.putField("b", "2");
    record.putField("a", "b");
    std::string out = "head:";
    record.dump(out);
    EXPECT_EQ(out, "head:a = b\r\nb = 2\r\n");
}

}  // namespace
