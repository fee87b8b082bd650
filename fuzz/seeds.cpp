// Writes the seed corpus of every fuzz target, one file per seed, into
// DIR/<target>/: the message table of the wire format, record, recurrence
// and memo examples, and the date, time and note forms.
//
// Usage: fuzz_seeds DIR
#include "channel/command_processor.h"
#include "record/record.h"
#include "record/record_id_note.h"
#include "record/repeat.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using Seeds = std::vector<std::string>;

const std::string F = "\xB6";  // message field end
const std::string L = "\xA3";  // category list element end
const std::string K = "\xB5";  // record key end
const std::string E = "\xBA";  // record entry end
const std::string id = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
const std::string tag = RecordIdNote::tag;

std::string contactText()
{
    Record record;
    record.putField("100.Last Name", "Smith");
    record.putField("101.First Name", "Ann");
    record.putField("109.Notes", "line one\r\nline two");
    record.putField("RecordId", id);
    return record.save();
}

std::string exampleRepeat()
{
    Repeat rule;
    rule.setStartDate("20070105");
    rule.setFrequency(2);
    rule.setEndDate("-1");
    rule.setNumDaysToRepeat(1);
    rule.setRepeatType(12);
    const int pattern[Repeat::dayPatternSize] = {0, 1, 0, 1, 0, 0, 0};
    rule.setDayPattern(pattern);
    return rule.save();
}

std::string calendarText()
{
    Record record;
    record.putField("300.Description", "Team meeting");
    record.putField("301.Start Date", "20070105");
    record.putField("302.Start Time", "0900");
    record.putField("Repeat", exampleRepeat());
    return record.save();
}

Seeds commandSeeds()
{
    const std::string record = contactText();
    return {
        "0" + F + "0" + F + "1" + F,
        "1" + F + "0" + F,
        "4" + F + "0" + F,
        "5" + F + "1" + F + record,
        "5" + F + "0" + F + record,
        "6" + F + "0" + F,
        "7" + F + "0" + F + "3" + F,
        "8" + F + "0" + F + "A" + L + "B" + L + F,
        "8" + F + "0" + F + L + F,
        "9" + F + "0" + F + id + F,
        "10" + F + "0" + F,
        "11" + F + "0" + F + F + "0" + F,
        "11" + F + "1" + F + F + "0" + F + calendarText(),
        "11" + F + "0" + F + id + F + "0" + F,
        "11" + F + "0" + F + F + "2" + F,
        "11" + F + "0" + F + F + "-1" + F,
        "12" + F + "0" + F + "0" + F + "42" + F,
        "13" + F + "0" + F + "0" + F + "Business" + L + "Personal" + L + F,
        "13" + F + "0" + F + "0" + F + F,
        "5",
        "2147483647" + F + "-2147483648" + F + "99999999999999999999" + F,
    };
}

Seeds recordSeeds()
{
    return {
        "400.Memo Title" + K + E + "401.Memo Body" + K + "abc" + E,
        "a" + K + "b",
        "k" + K + "first" + E + "k" + K + "second" + E,
        "k" + K + "a" + K + "b" + E,
        "x" + E + "k" + K + "v" + E + "tail",
        K + "empty key" + E + E,
        contactText(),
        calendarText(),
    };
}

Seeds repeatSeeds()
{
    const std::string A = "\xA7";
    const std::string B = "\xBF";
    return {
        exampleRepeat(),
        Repeat().save(),
        A + "0" + A + A + "0" + A + "0" + A + "1" + B + "0" + B + "1" + A,
        A + "0" + A + A + "0" + A + "0" + A + "1" + B + "2" + B + "3" + B + "4" + B + "5" + B + "6" + B +
            "7" + B + "8" + B + "9" + B + A,
        "20080229" + A + "-2147483648" + A + "20081231" + A + "abc" + A + "7x" + A + A + "-3" + A + A +
            A + A + B + B + A,
        "20070105" + A + "1" + A + "20071231" + A + "1" + A + "1" + A + A + "1" + A + "1" + A + "5" + A +
            "1" + A + "20070110" + B + "20070111",
    };
}

Seeds dateTimeSeeds()
{
    return {
        "20070105\n1430\n20070105\n1400",
        "20070105\n\n20070104\n0700",
        "\n1430\n\n",
        "09870615\n2359\n09870615\n0000",
        "20080301\n0030\n20080229\n0030",
        "18991230\n0000\n18991229\n2330",
        "99991231\n2359\n00010101\n0000",
        "200701\n9\n2007\n930",
        "20071305\n2561\n-9990105\n-1-1",
    };
}

Seeds noteSeeds()
{
    return {
        "hello",
        "abc\r\n" + tag + id + "\r\nxyz",
        tag + id + "\r\n",
        tag + id,
        tag + "{short",
        "\r\n" + tag + id + "\r\n" + tag + id + "\r\ntwice",
        "",
    };
}

Seeds memoSeeds()
{
    const std::string hiragana = "\x82\xA0";
    return {
        "Shopping\r\nmilk",
        "Shopping\r\n" + tag + id + "\r\nmilk\r\neggs",
        "only a title",
        std::string(300, 'a') + "\r\nrest",
        std::string(254, 'a') + hiragana + "tail\r\nbody",
        hiragana + hiragana + "\r\n" + hiragana,
        "\r\n",
        "bare\nnewline\r",
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::map<std::string, Seeds> corpora = {
        {"command_processor", commandSeeds()}, {"record", recordSeeds()},
        {"repeat", repeatSeeds()},             {"date_time", dateTimeSeeds()},
        {"record_id_note", noteSeeds()},       {"memo_title", memoSeeds()},
    };
    for (const auto& [target, seeds] : corpora) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < seeds.size(); ++i)
            std::ofstream(folder / ("seed_" + std::to_string(i)), std::ios::binary) << seeds[i];
    }
    return 0;
}
