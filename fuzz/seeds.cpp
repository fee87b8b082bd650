// fuzz_seeds DIR: writes each fuzz target's seeds into DIR/<target>/.
#include <filesystem>
#include <fstream>
#include <vector>

#include "fuzz_support.h"
#include "record/record_id_note.h"

using namespace fuzz;
using Seeds = std::vector<std::string>;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string K = keyEnd, E = entryEnd, F = fieldEnd, L = nameEnd, A = repeatEnd, B = itemEnd;
    const std::string id = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", tag = RecordIdNote::tag;
    const std::string contact = "100.Last Name" + K + "Smith" + E + "109.Notes" + K + "line one\r\nline two" + E +
                                "RecordId" + K + id + E;
    const Seeds records = {"400.Memo Title" + K + E + "401.Memo Body" + K + "abc" + E,
                           "k" + K + "first" + E + "k" + K + "second" + E, "k" + K + "a" + K + "b" + E,
                           "x" + E + "k" + K + "v" + E + "tail", contact};
    const std::string zeros = "0" + A + "0" + A + "0" + A + "0" + A;
    Seeds repeats = {
        A + "0" + A + A + "0" + A + "0" + A + "0" + B + "0" + B + "0" + B + "0" + B + "0" + B + "0" + B + "0" + B + A +
            zeros + A,
        "20070105" + A + "2" + A + "-1" + A + "0" + A + "12" + A + "0" + B + "1" + B + "0" + B + "1" + B + "0" + B +
            "0" + B + "0" + B + A + zeros + A,
        "20080229" + A + "-2147483648" + A + "20081231" + A + "abc" + A + "7x" + A + A + "-3" + A + A + A + A + B +
            B + A,
        "20070105" + A + "1" + A + "20071231" + A + "1" + A + "1" + A + A + "1" + A + "1" + A + "5" + A + "1" + A +
            "20070110" + B + "20070111",
    };
    const Seeds notes = {"abc\r\n" + tag + id + "\r\nxyz", tag + id, tag + "{short", "only a title",
                         "\r\n" + tag + id + "\r\n" + tag + id + "\r\ntwice",
                         "Shopping\r\n" + tag + id + "\r\nmilk\r\neggs", std::string(300, 'a') + "\r\nrest",
                         std::string(254, 'a') + "\x82\xA0" "tail\r\nbody", "bare\nnewline\r"};
    Seeds capi = repeats;
    capi.insert(capi.end(), records.begin(), records.end());
    const std::vector<std::pair<std::string, Seeds>> corpora = {
        {"command_processor",
         {"0" + F + "0" + F + "1" + F, "4" + F + "0" + F, "5" + F + "1" + F + contact, "7" + F + "0" + F + "3" + F,
          "8" + F + "0" + F + "A" + L + "B" + L + F, "9" + F + "0" + F + id + F,
          "11" + F + "1" + F + F + "0" + F + contact, "11" + F + "0" + F + id + F + "-1" + F,
          "12" + F + "0" + F + "0" + F + "42" + F, "13" + F + "0" + F + "0" + F + "Business" + L + L + F,
          "2147483647" + F + "-2147483648" + F + "99999999999999999999" + F}},
        {"record", records},
        {"repeat", repeats},
        {"date_time",
         {"20070105\n1430\n20070105\n1400", "\n1430\n\n", "20080301\n0030\n20080229\n0030",
          "18991230\n0000\n18991229\n2330", "99991231\n2359\n00010101\n0000", "20071305\n2561\n-9990105\n-1-1"}},
        {"record_id_note", notes},
        {"memo_title", notes},
        {"capi", capi},
    };
    for (const auto& [target, seeds] : corpora) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < seeds.size(); ++i)
            std::ofstream(folder / ("seed_" + std::to_string(i)), std::ios::binary) << seeds[i];
    }
    return 0;
}
