#include "channel/command_processor.h"

#include <gtest/gtest.h>

namespace {

const std::string recordId = "{0123ABCD-4567-89EF-0123-456789ABCDEF}";

Record sampleRecord()
{
    Record record;
    record.putField("401.Memo Body", "abc");
    record.putField("400.Memo Title", "");
    return record;
}

/// A message of kind `code` for `section`, then changed by `more`.
CommandProcessor message(int code, int section = 0, void (*more)(CommandProcessor&) = nullptr)
{
    CommandProcessor built;
    built.setCommand(code);
    built.setSection(section);
    if (more)
        more(built);
    return built;
}

TEST(CommandProcessorTest, SerializesEveryKindByteForByte)
{
    const std::string record = sampleRecord().save();
    using M = CommandProcessor&;
    std::pair<CommandProcessor, std::string> cases[] = {
        {message(CmdBeginImport, SectionContact), "0\xB6" "0\xB6" "1\xB6"},
        {message(CmdEndImport, SectionMemo), "1\xB6" "0\xB6"},
        {message(CmdBeginExport, SectionTodo), "2\xB6" "0\xB6" "2\xB6"},
        {message(CmdEndExport), "3\xB6" "0\xB6"},
        {message(CmdGetNextRecord), "4\xB6" "0\xB6"},
        {message(CmdSendRecord, 0, [](M m) { m.setRecord(sampleRecord()); }), "5\xB6" "1\xB6" + record},
        {message(CmdGetRecordCount), "6\xB6" "0\xB6"},
        {message(CmdReadCategoryList, SectionMemo), "7\xB6" "0\xB6" "3\xB6"},
        {message(CmdWriteCategoryList, 0, [](M m) { m.setCategories({"A", "B"}); }),
         "8\xB6" "0\xB6" "A\xA3" "B\xA3\xB6"},
        {message(CmdWriteCategoryList), "8\xB6" "0\xB6\xB6"},
        {message(CmdDeleteRecord, 0, [](M m) { m.setRecordId(recordId); }), "9\xB6" "0\xB6" + recordId + "\xB6"},
        {message(CmdDeleteAll), "10\xB6" "0\xB6"},
        {message(CmdResponse), "11\xB6" "0\xB6\xB6" "0\xB6"},
        {message(CmdResponse, 0, [](M m) { m.setResponseCode(ResponseNoMoreRecords); }), "11\xB6" "0\xB6\xB6" "2\xB6"},
        {message(CmdResponse, 0, [](M m) { m.setResponseCode(-1); }), "11\xB6" "0\xB6\xB6" "-1\xB6"},
        {message(CmdResponse, 0, [](M m) { m.setRecordId(recordId); }), "11\xB6" "0\xB6" + recordId + "\xB6" "0\xB6"},
        {message(CmdResponse, 0, [](M m) { m.setRecord(sampleRecord()); }), "11\xB6" "1\xB6\xB6" "0\xB6" + record},
        {message(CmdResponseCount, 0, [](M m) { m.setCount(42); }), "12\xB6" "0\xB6" "0\xB6" "42\xB6"},
        {message(CmdResponseCategories, 0, [](M m) { m.setCategories({"Business", "", "Personal"}); }),
         "13\xB6" "0\xB6" "0\xB6" "Business\xA3\xA3" "Personal\xA3\xB6"},
    };
    for (auto& [built, text] : cases)
        EXPECT_EQ(built.serialize(), text) << "kind " << built.getCommand();
}

/// What a parse left: "kind|section|result|count|id|names,|record". A slave passes any handler result on, so the
/// result is loaded as a ResponseCode: the sanitizer's enum check fails when the enum cannot hold a 32-bit code.
std::string fields(const CommandProcessor& read)
{
    std::string names;
    for (const std::string& name : read.getCategories())
        names += name + ",";
    const volatile ResponseCode result = static_cast<ResponseCode>(read.getResponseCode());
    return std::to_string(read.getCommand()) + "|" + std::to_string(read.getSection()) + "|" +
           std::to_string(result) + "|" + std::to_string(read.getCount()) + "|" +
           read.getRecordId() + "|" + names + "|" + read.getRecord().save();
}

// The round trip of every kind is a property of the message fuzz target;
// these pin the reading rules. Each text is parsed into the same object,
// which keeps the section, id and names where a text does not carry them.
TEST(CommandProcessorTest, ParsesByTheReadingRules)
{
    const std::string record = sampleRecord().save();
    const std::pair<std::string, std::string> cases[] = {
        {"11\xB6" "1\xB6\xB6" "0\xB6" + record, "11|0|0|0|||" + record},
        {"12\xB6" "0\xB6" "1\xB6" "42\xB6", "12|0|1|42|||"},  // the record is cleared
        {"7\xB6" "0\xB6" "3\xB6", "7|3|0|0|||"},
        {"9\xB6" "0\xB6" "id\xB6", "9|3|0|0|id||"},
        // Category lists: every element ends with 0xA3; a rest without one is dropped.
        {"13\xB6" "0\xB6" "0\xB6\xB6", "13|3|0|0|id||"},
        {"13\xB6" "0\xB6" "1\xB6\xA3\xB6", "13|3|1|0|id|,|"},
        {"8\xB6" "0\xB6" "A\xA3" "B\xA3\xB6", "8|3|0|0|id|A,B,|"},
        {"8\xB6" "0\xB6" "A\xA3" "unterminated", "8|3|0|0|id|A,|"},
        // Kinds 8 and 13 do not step over the list: a record behind it is
        // read from the list text on, so the list bytes land before its key.
        {"13\xB6" "1\xB6" "0\xB6" "X\xA3\xB6" "k\xB5v\xBA", "13|3|0|0|id|X,|X\xA3\xB6k\xB5v\xBA"},
        {"5\xB6" "1\xB6" + record, "5|3|0|0|id|X,|" + record},
        {"5\xB6" "0\xB6" + record, "5|3|0|0|id|X,|"},  // flag 0: no record
        {"11\xB6" "0\xB6\xB6" "-2147483648\xB6", "11|3|-2147483648|0||X,|"},
        {"11\xB6" "0\xB6\xB6" "2147483647\xB6", "11|3|2147483647|0||X,|"},
        {"11", "11|3|11|0|11|X,|"},  // without 0xB6 every field is read from the whole text
        {"", "0|0|0|0|11|X,|"},
        // No digits read as 0, a last field needs no separator, a flag without a record text.
        {" +12x\xB6 7\xB6" "abc\xB6" "-5", "12|0|0|-5|11|X,|"},
        {"0\xB6" "0\xB6", "0|0|0|0|11|X,|"},  // the section read from an empty rest
    };
    CommandProcessor read;
    for (const auto& [text, expected] : cases) {
        read.parse(text.c_str());
        EXPECT_EQ(fields(read), expected) << text;
    }
    read.parse(nullptr);
    EXPECT_EQ(fields(read), "0|0|0|0|11|X,|");
}

}  // namespace
