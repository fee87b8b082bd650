#include "bench_support.h"

#include "channel/section_dispatch.h"
#include "sections/field_keys.h"
#include "sections/section_factory.h"
#include "tied_process.h"

#include <cstdint>
#include <cstdio>

// Counted by hand, since Wine fills in neither GetProcessHandleCount nor PROCESS_MEMORY_COUNTERS_EX.PrivateUsage:
// the handle values (multiples of 4) that have flags, and the committed private regions of the address space.
ProcessUsage processUsage()
{
    ProcessUsage usage;
    for (std::uintptr_t value = 4; value < 0x40000; value += 4) {
        DWORD flags = 0;
        usage.handles += ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    }
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            usage.privateBytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next < at)
            break;
        at = next;
    }
    return usage;
}

StandinSlave::StandinSlave()
{
    for (auto name : {L"Business", L"Personal"}) {
        desk.contacts().addCategory(name);
        desk.memos().addCategory(name);
        desk.todos().addCategory(name);
        desk.calendar().addCategory(name);
    }
    sharedApplication() = desk.application();
    sectionDispatch().reset();
    sectionDispatch().setMaker(createSectionHandler);
    slave = std::make_unique<InProcessSlave>();
}

StandinSlave::~StandinSlave()
{
    slave.reset();
    sectionDispatch().reset();
    sharedApplication().reset();
}

HelperProcess::HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix)
    : quitEvent_(::CreateEventA(nullptr, TRUE, FALSE, (quitPrefix + suffix).c_str()))
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    process_ = startTiedProcess("\"" + folder + program + "\" " + suffix, startup, false);
}

HelperProcess::~HelperProcess()
{
    if (process_ && !quit())
        ::TerminateProcess(process_.get(), 1);
}

bool HelperProcess::quit()
{
    ::SetEvent(quitEvent_.get());
    DWORD code = 1;
    const bool ended = process_ && ::WaitForSingleObject(process_.get(), 15000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process_.get(), &code) && code == 0;
    if (ended)
        process_.reset();
    return ended;
}

namespace {

namespace contact = fieldkey::contact;
namespace memo = fieldkey::memo;

/// Text that survives the ANSI code page both ways: printable ASCII and the letters 0xC0-0xFF of code page 1252.
std::string randomText(std::mt19937& random, std::size_t length, bool blanks = true)
{
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = random() % 5 == 0 ? static_cast<char>(0xC0 + random() % 64) : static_cast<char>(0x21 + random() % 94);
        if (blanks && random() % 7 == 0)
            byte = ' ';
    }
    return text;
}

std::string randomLength(std::mt19937& random, std::size_t most) { return randomText(random, random() % (most + 1)); }

template <typename Keys>
std::vector<std::string> withRecordId(const Keys& keys)
{
    std::vector<std::string> all(keys.begin(), keys.end());
    all.push_back(fieldkey::RecordId);
    return all;
}

}  // namespace

Record randomContact(std::mt19937& random, const std::vector<std::string>& categories)
{
    Record record;
    for (const std::string key : contact::all)
        if (key != contact::EmptyCompanyName && key != contact::EmptyFirstName && key != contact::EmptyLastName)
            record.putField(key, randomLength(random, 40));
    record.putField(contact::FirstName, randomText(random, 1 + random() % 20, false));
    record.putField(contact::LastName, randomText(random, 1 + random() % 20));
    record.putField(contact::Notes, randomLength(random, 300) + "\r\n" + randomLength(random, 300));
    const char* phones[] = {contact::PhoneBusiness, contact::PhoneHome,   contact::PhoneFax,   contact::EMail1Address,
                            contact::PhoneMobile,   contact::PhoneMain,   contact::PhoneOther, contact::PhonePager};
    record.putField(phones[random() % 8], "");
    char birthday[16];
    std::snprintf(birthday, sizeof birthday, "%04u%02u%02u", 1920 + static_cast<unsigned>(random() % 90),
                  1 + static_cast<unsigned>(random() % 12), 1 + static_cast<unsigned>(random() % 28));
    record.putField(contact::Birthday, random() % 4 ? birthday : "");
    record.putField(contact::ConfidentialFlag, random() % 2 ? "1" : "0");
    record.putField(contact::Category, categories[random() % categories.size()]);
    return record;
}

Record randomMemo(std::mt19937& random, const std::vector<std::string>& categories)
{
    Record record;
    record.putField(memo::Title, randomLength(random, 255));
    std::string body;
    for (unsigned line = random() % 5; line > 0; --line)
        body += randomLength(random, 200) + "\r\n";
    record.putField(memo::Body, body + randomLength(random, 100));
    record.putField(memo::Private, random() % 2 ? "1" : "0");
    record.putField(memo::Category, categories[random() % categories.size()]);
    return record;
}

std::vector<std::string> contactKeys() { return withRecordId(contact::all); }
std::vector<std::string> memoKeys() { return withRecordId(memo::all); }

