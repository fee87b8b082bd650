// The engine's side of the hand-over benchmark: run from a folder that holds
// a configured copy of Brannock.dll (it links the DLL as an engine does),
// against a stand-in host already started there. Prints its figures on one
// line each, prefixed with the label it is given.
//
// Usage: handover_bench LABEL [--round-trips N] [--sync]
//   --round-trips N  N record counts inside one export bracket: the median
//                    and the 95th percentile of one command's round trip
//   --sync           exports every contact, then imports each record back
//                    under its identifier (updates): seconds in all and
//                    milliseconds per record
// Exit code 1 when a command fails or a record comes back under another id.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "channel/command_master.h"
#include "record/record.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// The value below which `share` of the sorted `times` lie.
double percentile(std::vector<double> times, double share) {
    std::sort(times.begin(), times.end());
    const std::size_t at = std::min(times.size() - 1, static_cast<std::size_t>(share * times.size()));
    return times[at];
}

bool roundTrips(CommandMaster& master, const char* label, int commands) {
    if (master.beginExport(SectionContact) != ResponseOk) return false;
    std::vector<double> times;
    for (int i = 0; i < commands; ++i) {
        int count = 0;
        const Clock::time_point start = Clock::now();
        if (master.getRecordCount(count) != ResponseOk) return false;
        times.push_back(millisecondsSince(start));
    }
    master.endExport();
    std::printf("%-7s round trip (record count), %d commands: median %.3f ms, 95th percentile %.3f ms\n", label,
                commands, percentile(times, 0.5), percentile(times, 0.95));
    return true;
}

bool twoWaySync(CommandMaster& master, const char* label) {
    const Clock::time_point start = Clock::now();
    std::vector<Record> records;
    int count = 0;
    if (master.beginExport(SectionContact) != ResponseOk || master.getRecordCount(count) != ResponseOk) return false;
    records.reserve(static_cast<std::size_t>(count));
    for (Record record; master.getNextRecord(record) == ResponseOk; record = Record()) records.push_back(record);
    master.endExport();
    const double exportMs = millisecondsSince(start);

    const Clock::time_point importStart = Clock::now();
    if (master.beginImport(SectionContact) != ResponseOk) return false;
    for (const Record& record : records) {
        std::string id;
        if (master.sendRecord(record, id) != ResponseOk || id != record.getField("RecordId")) return false;
    }
    master.endImport();
    const double importMs = millisecondsSince(importStart);
    const double n = static_cast<double>(records.size());
    std::printf("%-7s two-way sync of %zu contacts: %.1f s (export %.1f s, import %.1f s), %.3f ms per record and "
                "way\n",
                label, records.size(), (exportMs + importMs) / 1000, exportMs / 1000, importMs / 1000,
                (exportMs + importMs) / (2 * n));
    return static_cast<int>(records.size()) == count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return std::fprintf(stderr, "usage: handover_bench LABEL [--round-trips N] [--sync]\n"), 2;
    const char* label = argv[1];
    try {
        CommandMaster master;
        std::vector<std::string> names;
        // The first command waits out the add-in's ten-second start.
        if (master.readCategoryList(SectionContact, names) != ResponseOk) return 1;
        for (int i = 2; i < argc; ++i) {
            const std::string option = argv[i];
            bool ok = true;
            if (option == "--round-trips" && i + 1 < argc)
                ok = roundTrips(master, label, std::atoi(argv[++i]));
            else if (option == "--sync")
                ok = twoWaySync(master, label);
            else
                return std::fprintf(stderr, "handover_bench: unknown option %s\n", option.c_str()), 2;
            if (!ok) return std::fprintf(stderr, "handover_bench: %s failed\n", option.c_str()), 1;
        }
    } catch (unsigned long error) {
        return std::fprintf(stderr, "handover_bench: cannot open the channel (%lu)\n", error), 1;
    }
    return 0;
}
