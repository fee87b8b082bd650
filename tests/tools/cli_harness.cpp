#include "cli_harness.h"

#include <stdexcept>

#include "tied_process.h"

namespace {
constexpr char kStopEvent[] = "Brannock_CliTest_StopHost";

const win::UniqueHandle& stopEvent() {
    static const win::UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, kStopEvent));
    return event;
}
}  // namespace

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& outPath, const std::string& errPath) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const auto open = [&](const std::string& path, DWORD access, DWORD disposition) {
        return win::UniqueHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    const win::UniqueHandle in = open("NUL", GENERIC_READ, OPEN_EXISTING);
    const win::UniqueHandle out = open(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    const win::UniqueHandle err = open(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    process_ = startTiedProcess(commandLine, startup, true);
}

ChildProcess::~ChildProcess() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.get(), 99);
}

DWORD ChildProcess::wait(DWORD timeoutMs) {
    DWORD code = static_cast<DWORD>(-1);
    if (process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::unique_ptr<DllCopy> HostSuite::files;
std::unique_ptr<ChildProcess> HostSuite::host;
std::string HostSuite::dataFile;
bool HostSuite::started = false, HostSuite::running = false;

void HostSuite::startHost(const char* classId, const std::string& data, const std::string& moreArguments,
                          std::initializer_list<const char*> programs) {
    files = std::make_unique<DllCopy>(classId);
    for (const char* program : {"brannock_cli.exe", "standin_host.exe"}) files->addFile(program);
    for (const char* program : programs) files->addFile(program);
    if (runRegsvr32(files->dllPath()) != 0) throw std::runtime_error("regsvr32 failed");
    dataFile = writeFile("palm_desktop.json", data);
    ::ResetEvent(stopEvent().get());
    host = std::make_unique<ChildProcess>("\"" + files->folder().file("standin_host.exe") + "\" --clsid " + classId +
                                              " --data \"" + dataFile + "\" --stop-event " + kStopEvent + " " +
                                              moreArguments,
                                          files->folder().file("host.out"), files->folder().file("host.err"));
    for (int waited = 0; waited < 30000 && !running; waited += 50) {
        running = bool(win::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, "Marrowvelle_Tesk_PDAddinInitializeEvent")));
        if (!running && host->wait(50) != static_cast<DWORD>(-1)) return;
    }
    started = running;
}

DWORD HostSuite::stopHost() {
    running = false;
    ::SetEvent(stopEvent().get());
    return host->wait(30000);
}

void HostSuite::TearDownTestSuite() {
    if (running) stopHost();
    host.reset();
    if (files) runRegsvr32(files->dllPath(), true);
    files.reset();
}

CliRun HostSuite::run(const std::string& name, const std::string& arguments) {
    static int runs = 0;
    const std::string stem = files->folder().file("run" + std::to_string(++runs));
    CliRun run;
    run.exitCode = ChildProcess("\"" + files->folder().file(name) + "\" " + arguments, stem + ".out", stem + ".err")
                       .wait(90000);
    run.out = readTextFile(stem + ".out");
    run.err = readTextFile(stem + ".err");
    return run;
}

std::string HostSuite::writeFile(const std::string& name, const std::string& text) {
    const std::string path = files->folder().file(name);
    writeTextFile(path, text);
    return path;
}
