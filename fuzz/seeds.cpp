// fuzz_seeds DIR: writes each fuzz target's seeds into DIR/<target>/.
#include "channel/command_processor.h"
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
    return "100.Last Name" + K + "Smith" + E + "109.Notes" + K + "line one\r\nline two" + E + "RecordId" + K + id + E;
}

std::string exampleRepeat()
{
    Repeat rule;
    rule.setStartDate("20070105");
    rule.setFrequency(2);
    rule.setEndDate("-1");
    rule.setRepeatType(12);
    int pattern[Repeat::dayPatternSize] = {0, 1, 0, 1, 0, 0, 0};
    rule.setDayPattern(pattern);
    return rule.save();
}

Seeds commandSeeds()
{
    const std::string record = contactText();
    return {
        "0" + F + "0" + F + "1" + F,
        "4" + F + "0" + F,
        "5" + F + "1" + F + record,
        "7" + F + "0" + F + "3" + F,
        "8" + F + "0" + F + "A" + L + "B" + L + F,
        "9" + F + "0" + F + id + F,
        "11" + F + "1" + F + F + "0" + F + record,
        "11" + F + "0" + F + id + F + "-1" + F,
        "12" + F + "0" + F + "0" + F + "42" + F,
        "13" + F + "0" + F + "0" + F + "Business" + L + L + F,
        "2147483647" + F + "-2147483648" + F + "99999999999999999999" + F,
    };
}

Seeds recordSeeds()
{
    return {
        "400.Memo Title" + K + E + "401.Memo Body" + K + "abc" + E,
        "k" + K + "first" + E + "k" + K + "second" + E,
        "k" + K + "a" + K + "b" + E,
        "x" + E + "k" + K + "v" + E + "tail",
        contactText(),
    };
}

Seeds repeatSeeds()
{
    const std::string A = "\xA7";
    const std::string B = "\xBF";
    return {
        exampleRepeat(),
        Repeat().save(),
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
        "\n1430\n\n",
        "20080301\n0030\n20080229\n0030",
        "18991230\n0000\n18991229\n2330",
        "99991231\n2359\n00010101\n0000",
        "20071305\n2561\n-9990105\n-1-1",
    };
}

Seeds noteSeeds()
{
    return {
        "abc\r\n" + tag + id + "\r\nxyz",
        tag + id,
        tag + "{short",
        "\r\n" + tag + id + "\r\n" + tag + id + "\r\ntwice",
    };
}

Seeds memoSeeds()
{
    const std::string hiragana = "\x82\xA0";
    return {
        "Shopping\r\n" + tag + id + "\r\nmilk\r\neggs",
        "only a title",
        std::string(300, 'a') + "\r\nrest",
        std::string(254, 'a') + hiragana + "tail\r\nbody",
        "bare\nnewline\r",
    };
}

/// Recurrence texts for the repeat half, record texts as raw bytes for the
/// record half of the C interface's target.
Seeds capiSeeds()
{
    Seeds seeds = repeatSeeds();
    for (const std::string& record : recordSeeds())
        seeds.push_back(record);
    return seeds;
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
        {"capi", capiSeeds()},
    };
    for (const auto& [target, seeds] : corpora) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < seeds.size(); ++i)
            std::ofstream(folder / ("seed_" + std::to_string(i)), std::ios::binary) << seeds[i];
    }
    return 0;
}
