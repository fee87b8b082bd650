// standin_host: a stand-in Palm Desktop process. It loads the Brannock
// add-in through COM under a class identifier, initialises it with a host
// object that answers Palm Desktop's application interface (from the Palm
// Desktop stand-in), pumps messages so that the add-in's timer runs, and on
// request uninitialises and releases the add-in.
//
// Usage: standin_host --clsid {CLASS-ID} [--data FILE] [--sample-contacts N]
//                     [--filled-contacts N] [--stop-event NAME] [--pause-event NAME]
//   --clsid            the class identifier the add-in is registered under
//   --data             a data file to seed the stand-in desktop from; the
//                      desktop's data is written back to it at the stop
//   --sample-contacts  seeds N contacts in the category "Business"
//   --filled-contacts  seeds N contacts with every field filled, spread over
//                      four categories
//   --stop-event       stop when this named event is set; without it the
//                      host stops at the end of standard input
//   --pause-event      while this named event is set, dispatch no messages,
//                      so that the add-in's timer stands still (for tests
//                      of an engine's time limit)
// Exit code: 0 after a clean stop, 1 when the add-in cannot be created or
// initialised, 2 for bad arguments or data, or a data file that cannot be
// written back.

#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "addin/brannock_addin_idl.h"
#include "sections/palm_desktop.h"
#include "standin/desktop_state.h"
#include "standin/host_object.h"
#include "standin/standin_data_file.h"
#include "standin/standin_objects.h"
#include "win/com_ptr.h"
#include "win/unique_handle.h"

namespace {

struct HostOptions {
    CLSID classId = GUID_NULL;
    std::string dataFile;
    int sampleContacts = 0;
    int filledContacts = 0;
    std::string stopEvent;
    std::string pauseEvent;
};

bool parseOptions(int argc, char** argv, HostOptions& options) {
    bool haveClassId = false;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (name == "--clsid") {
            std::wstring wide(value.begin(), value.end());
            if (FAILED(::CLSIDFromString(wide.c_str(), &options.classId))) return false;
            haveClassId = true;
        } else if (name == "--data") {
            options.dataFile = value;
        } else if (name == "--sample-contacts") {
            options.sampleContacts = std::atoi(value.c_str());
        } else if (name == "--filled-contacts") {
            options.filledContacts = std::atoi(value.c_str());
        } else if (name == "--stop-event") {
            options.stopEvent = value;
        } else if (name == "--pause-event") {
            options.pauseEvent = value;
        } else {
            return false;
        }
    }
    return haveClassId;
}

// Seeds the stand-in desktop from a data file (standin/standin_data_file.h).
bool loadDesktopData(const std::string& path, standin::DesktopState& state) {
    try {
        standin::loadDataFile(path, state);
        return true;
    } catch (const standin::DataFileError& error) {
        std::fprintf(stderr, "standin_host: cannot read data file: %s\n", error.what());
        return false;
    }
}

// Writes the desktop's data back to its data file, so that what an import
// did can be seen there.
bool saveDesktopData(const std::string& path, const standin::DesktopState& state) {
    try {
        standin::saveDataFile(path, state);
        return true;
    } catch (const standin::DataFileError& error) {
        std::fprintf(stderr, "standin_host: cannot write data file: %s\n", error.what());
        return false;
    }
}

void seedSampleContacts(standin::DesktopState& state, int count) {
    state.contacts.addCategory(L"Business");
    for (int i = 1; i <= count; ++i) {
        standin::ContactData contact;
        contact.category = L"Business";
        contact.firstName = L"Sample";
        contact.lastName = L"Contact " + std::to_wstring(i);
        state.contacts.add(std::move(contact));
    }
}

// Contacts as a full address book holds them: names, company, three
// addresses, seven phones, custom fields, web site, birthday, messaging and a
// note, each text distinct per contact.
void seedFilledContacts(standin::DesktopState& state, int count) {
    const wchar_t* categories[] = {L"Business", L"Personal", L"QuickList", L"Unfiled"};
    for (const wchar_t* category : categories) state.contacts.addCategory(category);
    for (int i = 1; i <= count; ++i) {
        const std::wstring n = std::to_wstring(i);
        standin::ContactData contact;
        contact.category = categories[i % 4];
        contact.firstName = L"First" + n + L" Middle";
        contact.lastName = L"Last " + n;
        contact.jobTitle = L"Title " + n;
        contact.company = L"Company " + n;
        contact.readingFirstName = L"Reading first " + n;
        contact.readingLastName = L"Reading last " + n;
        contact.readingCompany = L"Reading company " + n;
        for (long a = 0; a < standin::kAddresses; ++a) {
            const std::wstring at = std::to_wstring(a + 1) + L" / " + n;
            contact.addresses[a] = {L"Street " + at, L"City " + at, L"State " + at, L"Zip " + at, L"Country " + at};
        }
        contact.note = L"Met at event " + n + L".\r\nSecond line of the note.";
        for (long c = 0; c < standin::kCustomFields; ++c)
            contact.custom[c] = L"Custom " + std::to_wstring(c + 1) + L" " + n;
        contact.isPrivate = i % 2;
        for (long p = 0; p < 7; ++p) contact.phones[p].text = L"+1 555 " + std::to_wstring(p) + L" " + n;
        contact.phones[4].text = L"contact" + n + L"@example.com";
        contact.webSite = L"https://example.com/" + n;
        contact.birthday = 25000.0 + i % 10000;
        contact.ims[0] = {0, L"im" + n};
        contact.ims[1] = {0, L"im2-" + n};
        state.contacts.add(std::move(contact));
    }
}

// Sets `event` when standard input ends.
DWORD WINAPI watchStandardInput(void* event) noexcept {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    ::SetEvent(static_cast<HANDLE>(event));
    return 0;
}

// Dispatches messages (the add-in's timer among them) until `stop` is set,
// none while `pause` (which may be null) is set.
void pumpMessagesUntil(HANDLE stop, HANDLE pause) {
    const HANDLE handles[] = {stop, pause};
    const DWORD count = pause ? 2 : 1;
    for (;;) {
        if (pause && ::WaitForSingleObject(pause, 0) == WAIT_OBJECT_0) {
            if (::WaitForSingleObject(stop, 10) != WAIT_TIMEOUT) return;
            continue;
        }
        DWORD woken = ::MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (pause && woken == WAIT_OBJECT_0 + 1) continue;
        if (woken != WAIT_OBJECT_0 + count) return;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

int runHost(const HostOptions& options) {
    auto state = std::make_shared<standin::DesktopState>();
    if (!options.dataFile.empty() && !loadDesktopData(options.dataFile, *state)) return 2;
    seedSampleContacts(*state, options.sampleContacts);
    seedFilledContacts(*state, options.filledContacts);

    win::UniqueHandle stop;
    if (!options.stopEvent.empty()) {
        stop.reset(::CreateEventA(nullptr, TRUE, FALSE, options.stopEvent.c_str()));
    } else {
        stop.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        win::UniqueHandle watcher(::CreateThread(nullptr, 0, &watchStandardInput, stop.get(), 0, nullptr));
    }
    if (!stop) return 1;

    // Declared first: the add-in holds the host until it is released.
    standin::HostObject host(standin::makeApplication(state));
    win::ComPtr<IDesktopAddin> addin;
    HRESULT hr = ::CoCreateInstance(options.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDesktopAddin, addin.putVoid());
    if (FAILED(hr)) {
        std::fprintf(stderr, "standin_host: cannot create the add-in (0x%08lX)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    LONG success = 0;
    addin->OnInitialize(&host, 1, 0x00040102, 0, &success);
    if (!success) {
        std::fprintf(stderr, "standin_host: the add-in did not initialise\n");
        return 1;
    }
    std::printf("standin_host: add-in initialised\n");
    std::fflush(stdout);

    win::UniqueHandle pause;
    if (!options.pauseEvent.empty()) pause.reset(::CreateEventA(nullptr, TRUE, FALSE, options.pauseEvent.c_str()));
    pumpMessagesUntil(stop.get(), pause.get());
    addin->OnUninitialize();
    if (!options.dataFile.empty() && !saveDesktopData(options.dataFile, *state)) return 2;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HostOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: standin_host --clsid {CLASS-ID} [--data FILE] [--sample-contacts N] "
                     "[--filled-contacts N] [--stop-event NAME] [--pause-event NAME]\n");
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int code = 1;
    try {
        code = runHost(options);
    } catch (...) {
        std::fprintf(stderr, "standin_host: out of memory\n");
    }
    ::CoUninitialize();
    return code;
}
