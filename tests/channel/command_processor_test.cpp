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
        {message(CmdWriteCategoryList, 0, [](M m) { m.setCategories({"A", "B"}); }), "8\xB6" "0\xB6" "A\xA3" "B\xA3\xB6"},
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

// The round trip of every kind is a property of the message fuzz target.
TEST(CommandProcessorTest, ParseClearsTheRecordAndKeepsFieldsTheTextDoesNotCarry)
{
    CommandProcessor read;
    read.parse(("11\xB6" "1\xB6\xB6" "0\xB6" + sampleRecord().save()).c_str());
    read.parse("12\xB6" "0\xB6" "1\xB6" "42\xB6");
    EXPECT_EQ(read.getResponseCode(), 1);
    EXPECT_EQ(read.getCount(), 42);
    EXPECT_EQ(read.getRecord().save(), "") << "parse clears the record";

    read.parse("7\xB6" "0\xB6" "3\xB6");
    EXPECT_EQ(read.getSection(), SectionMemo);
    EXPECT_EQ(read.getCount(), 0);
    read.parse("9\xB6" "0\xB6" "id\xB6");
    EXPECT_EQ(read.getRecordId(), "id");
    EXPECT_EQ(read.getSection(), SectionMemo) << "kept where the text does not carry it";
}

TEST(CommandProcessorTest, ParsesCategoryListsByTheListRule)
{
    CommandProcessor read;
    read.parse("13\xB6" "0\xB6" "0\xB6\xB6");
    EXPECT_TRUE(read.getCategories().empty());
    read.parse("13\xB6" "0\xB6" "1\xB6\xA3\xB6");
    EXPECT_EQ(read.getCategories(), std::vector<std::string>{""});
    EXPECT_EQ(read.getResponseCode(), 1);
    read.parse("8\xB6" "0\xB6" "A\xA3" "B\xA3\xB6");
    EXPECT_EQ(read.getCategories(), (std::vector<std::string>{"A", "B"}));
    read.parse("8\xB6" "0\xB6" "A\xA3" "unterminated");
    EXPECT_EQ(read.getCategories(), std::vector<std::string>{"A"});

    // Kinds 8 and 13 do not step over the list: a record behind it is read
    // from the list text on, so the list bytes land in front of its key.
    read.parse("13\xB6" "1\xB6" "0\xB6" "X\xA3\xB6" "k\xB5v\xBA");
    EXPECT_EQ(read.getCategories(), std::vector<std::string>{"X"});
    EXPECT_EQ(read.getRecord().save(), "X\xA3\xB6k\xB5v\xBA");
}

TEST(CommandProcessorTest, ParseIsLenient)
{
    const std::string recordText = sampleRecord().save();
    CommandProcessor read;
    read.parse(("5\xB6" "1\xB6" + recordText).c_str());
    EXPECT_EQ(read.getCommand(), CmdSendRecord);
    EXPECT_EQ(read.getRecord().save(), recordText);
    read.parse(("5\xB6" "0\xB6" + recordText).c_str());
    EXPECT_EQ(read.getRecord().save(), "") << "flag 0 leaves the record empty";

    // Without any 0xB6 every field is read from the whole text.
    read.parse("11");
    EXPECT_EQ(read.getCommand(), 11);
    EXPECT_EQ(read.getRecordId(), "11");
    EXPECT_EQ(read.getResponseCode(), 11);
    read.parse("");
    EXPECT_EQ(read.getCommand(), 0);
    read.parse(nullptr);
    EXPECT_EQ(read.getCommand(), 0);

    read.parse(" +12x\xB6 7\xB6" "abc\xB6" "-5");
    EXPECT_EQ(read.getCommand(), 12);
    EXPECT_EQ(read.getResponseCode(), 0) << "no digits read as 0";
    EXPECT_EQ(read.getCount(), -5) << "last field without separator";
    EXPECT_EQ(read.getRecord().save(), "") << "flag 7 but no record text";

    read.parse("0\xB6" "0\xB6");
    EXPECT_EQ(read.getSection(), 0) << "section read from an empty rest";
}

// A slave passes any handler result on, so a master must be able to hold
// every 32-bit response code as a ResponseCode (the sanitizer's enum check
// fails this when the enum cannot hold the value).
TEST(CommandProcessorTest, AnyResponseCodeOnTheWireIsAValidResponseCode)
{
    for (const char* text : {"7", "-2147483648", "2147483647", "-3"}) {
        CommandProcessor read;
        read.parse(("11\xB6" "0\xB6\xB6" + std::string(text) + "\xB6").c_str());
        volatile ResponseCode code = static_cast<ResponseCode>(read.getResponseCode());
        EXPECT_EQ(std::to_string(code), text);
    }
}

}  // namespace
