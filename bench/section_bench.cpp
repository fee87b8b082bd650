// Cost per record of the contact handler, with the Palm Desktop stand-in in
// this process and no channel or timer, for 100, 1,000 and 10,000 contacts
// in one category:
//   export, first    every contact is given its identifier (note rewritten)
//   export, again    identifiers already there
//   create, no id    sendRecord of a record without "RecordId": no search
//   create, new id   a "RecordId" that no contact carries: every contact is
//                    searched before the new one is made
//   update           a "RecordId" that a contact carries: the search stops at
//                    it, so on average half of the contacts are read
// Import searches the category views by identifier, so its cost per record
// grows linearly with the number of contacts; the last column divides the
// update cost by the contacts in the section to show it.
// Imports are timed over at most `importSample` records spread evenly over
// the section.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "sections/contact_section.h"
#include "standin/standin_desktop.h"

namespace {

constexpr int importSample = 1000;

using Clock = std::chrono::steady_clock;

/// Microseconds per call of `step` over `calls` calls.
double microsecondsPerCall(int calls, const std::function<void(int)>& step) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) step(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

std::unique_ptr<ContactSectionImpl> contactHandler(standin::StandinDesktop& desk) {
    win::ComPtr<IDispatch> answer;
    desk.application()->get_Contacts(answer.put());
    return std::make_unique<ContactSectionImpl>(answer.query<ContactCollection>(IID_ContactCollection).get());
}

void seed(standin::StandinDesktop& desk, int contacts) {
    desk.contacts().addCategory(L"Business");
    for (int i = 0; i < contacts; ++i) {
        auto contact = desk.addContact(L"Business", L"Sample Middle", L"Contact " + std::to_wstring(i));
        contact->jobTitle = L"Engineer";
        contact->phones[0].text = L"555-" + std::to_wstring(1000 + i);
        contact->note = L"Met at the fair";
    }
}

std::vector<Record> exportAll(ContactSectionImpl& handler, int expected, double& perRecord) {
    std::vector<Record> records;
    records.reserve(expected);
    perRecord = microsecondsPerCall(1, [&](int) {
        handler.beginExport();
        for (Record record; handler.getNextRecord(record) == ResponseOk; record.clear()) records.push_back(record);
    }) / std::max(expected, 1);
    if (static_cast<int>(records.size()) != expected)
        std::printf("  export delivered %zu of %d records\n", records.size(), expected);
    return records;
}

void measure(int contacts) {
    standin::StandinDesktop desk;
    seed(desk, contacts);
    auto handler = contactHandler(desk);
    const int sample = std::min(contacts, importSample);
    const int stride = contacts / sample;

    double exportFirst = 0, exportAgain = 0;
    std::vector<Record> records = exportAll(*handler, contacts, exportFirst);
    exportAll(*handler, contacts, exportAgain);

    std::string id;
    int failures = 0;
    const auto send = [&](const Record& record) { failures += handler->sendRecord(record, id) != ResponseOk; };

    const double update = microsecondsPerCall(sample, [&](int i) {
        Record record = records[static_cast<size_t>(i) * stride];
        record.putField(fieldkey::contact::JobTitle, "Manager");
        send(record);
    });
    // Each created contact is taken out again, untimed, so that every
    // create meets the same number of contacts.
    const auto createCost = [&](const std::string& recordId) {
        Record fresh = records.front();
        fresh.putField(fieldkey::RecordId, recordId);
        double total = 0;
        for (int i = 0; i < sample; ++i) {
            total += microsecondsPerCall(1, [&](int) { send(fresh); });
            desk.contacts().remove(desk.contacts().items().back());
        }
        return total / sample;
    };
    const double createNoId = createCost("");
    const double createNewId = createCost("{00000000-0000-0000-0000-000000000000}");

    std::printf("%8d %12.2f %12.2f %12.2f %12.2f %12.2f %14.4f\n", contacts, exportFirst, exportAgain, createNoId,
                createNewId, update, update / contacts);
    if (failures) std::printf("  %d imports failed\n", failures);
}

}  // namespace

int main() {
    std::printf("Contact handler against the in-process stand-in, microseconds per record\n");
    std::printf("%8s %12s %12s %12s %12s %12s %14s\n", "contacts", "export 1st", "export again", "create no id",
                "create new id", "update", "update/contact");
    for (int contacts : {100, 1000, 10000}) measure(contacts);
    return 0;
}
