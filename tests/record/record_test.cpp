// Records, their identifier notes and repeat rules. Round trips of built and
// arbitrary texts are properties of the fuzz targets; these pin the bytes.
#include "record/record.h"
#include "record/record_id_note.h"
#include "record/repeat.h"

#include <gtest/gtest.h>

#include <climits>
#include <regex>

namespace {

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
    record.dump(out);
    EXPECT_EQ(out, "head:10 = 10\r\n100 = 100\r\n9 = c\r\nz = z\r\n\xE9 = \xE9\r\n");
}

TEST(RecordTest, RestoreKeepsWhatItCanRead) {
    Record record;
    record.putField("old", "gone");
    const struct { std::string text, saved; } cases[] = {
        {"a\xB5" "b", ""},  // no 0xBA: empty record
        {"k\xB5" "first\xBA" "k\xB5" "second\xBA", "k\xB5" "first\xBA"},
        {"k\xB5" "a\xB5" "b\xBA", "k\xB5" "a\xB5" "b\xBA"},
        {"x\xBA" "k\xB5v\xBA\xBA" "\xB5" "empty key\xBA" "tail", "\xB5" "empty key\xBA" "k\xB5v\xBA"},
        {"b\xB5" "2\xBA" "a\xB5" "1\xBA" "b\xB5" "3\xBA", "a\xB5" "1\xBA" "b\xB5" "2\xBA"}, {"", ""}};
    for (const auto& c : cases) {
        record.restore(c.text);
        EXPECT_EQ(record.save(), c.saved) << c.text;
    }
    record.restore("k\xB5" "a\xB5" "b\xBA");
    EXPECT_EQ(record.getField("k"), "a\xB5" "b");
}

TEST(RecordIdNoteTest, NoteWithoutTagGetsFreshRegistryFormId) {
    RecordIdNote note("hello");
    const std::string fresh = note.getRecordId();
    EXPECT_TRUE(std::regex_match(fresh, std::regex("\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}"))) << fresh;
    EXPECT_NE(RecordIdNote("hello").getRecordId(), fresh);
    EXPECT_EQ(note.composeNote(), "Marrowvelle Record Id = " + fresh + "\r\nhello");
}

TEST(RecordIdNoteTest, SplitsTaggedNotes) {
    const std::string tag = "Marrowvelle Record Id = ", id = "{0123ABCD-4567-89EF-0123-456789ABCDEF}";
    const struct { std::string note, id, text; } cases[] = {
        {"abc\r\n" + tag + id + "\r\nxyz", id, "abcxyz"}, {tag + id + "\r\n", id, ""},
        {"\r\n" + tag + id + "\r\ntail", id, "tail"},  // a head of two bytes is dropped
        {tag + "{0123", "{0123", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(RecordIdNote(c.note).getRecordId() + "|" + RecordIdNote(c.note).getNoteText(), c.id + "|" + c.text);
}

std::vector<int> patternOf(const Repeat& repeat) {
    std::vector<int> pattern(7);
    repeat.getDayPattern(pattern.data());
    return pattern;
}

TEST(RepeatTest, SavesDefaultAndExampleByteForByte) {
    EXPECT_EQ(Repeat().save(),
              "\xA7" "0\xA7\xA7" "0\xA7" "0\xA7"
              "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
              "0\xA7" "0\xA7" "0\xA7" "0\xA7\xA7");

    Repeat everyOtherWeek;
    everyOtherWeek.setStartDate("20070105");
    everyOtherWeek.setFrequency(2);
    everyOtherWeek.setEndDate("-1");
    everyOtherWeek.setNumDaysToRepeat(1);
    everyOtherWeek.setRepeatType(12);
    int mondayWednesday[7] = {0, 1, 0, 1, 0, 0, 0};
    everyOtherWeek.setDayPattern(mondayWednesday);
    EXPECT_EQ(everyOtherWeek.save(),
              "20070105\xA7" "2\xA7" "-1\xA7" "1\xA7" "12\xA7"
              "0\xBF" "1\xBF" "0\xBF" "1\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
              "0\xA7" "0\xA7" "0\xA7" "0\xA7\xA7");

    Repeat excluded;
    excluded.setExclusionDates({"20070112", ""});
    const std::string text = excluded.save();
    EXPECT_EQ(text.substr(text.size() - 13), "0\xA7" "20070112\xBF\xBF\xA7");
}

TEST(RepeatTest, ParseAppendsExclusionDatesAndKeepsFieldsOnEmptyText) {
    Repeat original, copy;
    original.setFrequency(INT_MIN);
    original.setExclusionDates({"20080307", "20080314"});
    copy.parse(original.save());
    copy.parse(original.save());
    copy.parse("");
    EXPECT_EQ(copy.getExclusionDates(), (std::vector<std::string>{"20080307", "20080314", "20080307", "20080314"}));
    EXPECT_EQ(copy.getFrequency(), INT_MIN);
}

TEST(RepeatTest, ParseIsLenientAboutListsAndNumbers) {
    Repeat repeat;
    int ones[7] = {9, 9, 9, 9, 9, 9, 9};
    repeat.setDayPattern(ones);
    repeat.parse("d\xA7" "7x\xA7" "e\xA7" "abc\xA7" " -3\xA7"
                 "1\xBF" "0\xBF" "1\xA7"                  // last item unterminated
                 "1\xA7" "2\xA7" "3\xA7" "4\xA7"
                 "\xBF\xBF\xA7");
    EXPECT_EQ(repeat.getFrequency(), 7);
    EXPECT_EQ(repeat.getNumDaysToRepeat(), 0);
    EXPECT_EQ(repeat.getRepeatType(), -3);
    EXPECT_EQ(patternOf(repeat), (std::vector<int>{1, 0, 9, 9, 9, 9, 9}));
    EXPECT_EQ(repeat.getExclusionDates(), (std::vector<std::string>{"", ""}));

    Repeat overlong;
    overlong.parse("\xA7" "0\xA7\xA7" "0\xA7" "0\xA7"
                   "1\xBF" "2\xBF" "3\xBF" "4\xBF" "5\xBF" "6\xBF" "7\xBF" "8\xBF\xA7"
                   "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20070105\xA7");
    EXPECT_EQ(patternOf(overlong), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(overlong.getExclusionDates().empty()) << "unterminated date is dropped";

    Repeat truncated;
    truncated.setMonth(6);
    truncated.parse("20070105\xA7" "3");
    EXPECT_EQ(truncated.getStartDate(), "20070105");
    EXPECT_EQ(truncated.getFrequency(), 3);
    EXPECT_EQ(truncated.getMonth(), 0) << "missing fields read as empty";
}

}  // namespace
