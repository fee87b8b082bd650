// CommandProcessor::parse on arbitrary bytes, and the message round trip.
//
// Properties:
// - parse never fails, and the text it leads to is a fixed point: parsing
//   what serialize writes and serializing again gives the same text (not
//   for kinds 8 and 13 carrying a record: their reader does not step over
//   the list, so the record text runs into the categories);
// - a message built from separator-free values reads back equal in every
//   field its kind carries.
#include "channel/command_processor.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

const std::string idSeparators = "\xB6";
const std::string categorySeparators = "\xA3";
const std::string keySeparators = "\xB5\xBA";
const std::string valueSeparators = "\xBA";

bool listBlocksRecord(int command)
{
    return command == CmdWriteCategoryList || command == CmdResponseCategories;
}

void parseArbitraryText(const std::string& text)
{
    CommandProcessor first;
    first.parse(text.c_str());
    const std::string written = first.serialize();
    if (listBlocksRecord(first.getCommand()) && !first.getRecord().save().empty())
        return;
    CommandProcessor second;
    second.parse(written.c_str());
    FUZZ_CHECK(second.getCommand() == first.getCommand());
    FUZZ_CHECK(std::string(second.serialize()) == written);
}

Record takeRecord(FuzzedDataProvider& input)
{
    Record record;
    const int entries = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < entries; ++i) {
        const std::string key = fuzz::takeText(input, 40, keySeparators);
        record.putField(key, fuzz::takeText(input, 200, valueSeparators));
    }
    return record;
}

void roundTripBuiltMessage(FuzzedDataProvider& input)
{
    CommandProcessor sent;
    const int command = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 13)
                                            : input.ConsumeIntegral<int>();
    sent.setCommand(command);
    sent.setSection(input.ConsumeIntegral<int>());
    sent.setResponseCode(input.ConsumeIntegral<int>());
    sent.setCount(input.ConsumeIntegral<int>());
    sent.setRecordId(fuzz::takeText(input, 60, idSeparators));
    std::vector<std::string> categories(input.ConsumeIntegralInRange(0, 6));
    for (std::string& category : categories)
        category = fuzz::takeText(input, 30, categorySeparators);
    sent.setCategories(categories);
    const bool withRecord = input.ConsumeBool() && !listBlocksRecord(command);
    if (withRecord)
        sent.setRecord(takeRecord(input));

    CommandProcessor received;
    received.parse(sent.serialize());
    FUZZ_CHECK(received.getCommand() == command);
    FUZZ_CHECK(received.getRecord().save() == sent.getRecord().save());
    const bool answer = command == CmdResponse || command == CmdResponseCount || command == CmdResponseCategories;
    FUZZ_CHECK(received.getResponseCode() == (answer ? sent.getResponseCode() : 0));
    switch (command) {
    case CmdBeginImport:
    case CmdBeginExport:
    case CmdReadCategoryList:
        FUZZ_CHECK(received.getSection() == sent.getSection());
        break;
    case CmdWriteCategoryList:
    case CmdResponseCategories:
        FUZZ_CHECK(received.getCategories() == categories);
        break;
    case CmdDeleteRecord:
    case CmdResponse:
        FUZZ_CHECK(received.getRecordId() == sent.getRecordId());
        break;
    default:
        FUZZ_CHECK(received.getCount() == (command == CmdResponseCount ? sent.getCount() : 0));
        break;
    }
}

}  // namespace

FUZZ_TARGET(parseArbitraryText, roundTripBuiltMessage)
