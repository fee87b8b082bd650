#include "addin/addin_app.h"

#include <cguid.h>

#include <string>

#include "addin/addin_identity.h"
#include "addin/brannock_settings.h"
#include "addin/com_module.h"
#include "addin/trace_setting.h"
#include "channel/channel_names.h"
#include "win/trace_file.h"

CAddinApp theApp;

// This runs under the loader lock. The identity lookup reads the registry,
// a private-profile file and may copy one file (a pending installer
// configuration), and parses the identifier with CLSIDFromString; none of
// these loads another DLL or waits for another thread, which is what the
// loader lock forbids in practice. Nor does opening the trace file.
BOOL CAddinApp::InitInstance(HINSTANCE) {
    try {
        const CLSID id = configuredAddinClassId();
        std::string suffix = classIdText(id);
        appendChannelNameSuffix(suffix.c_str());
        traceLoad(id);
    } catch (...) {
        // Out of memory at load: the names stay unsuffixed.
    }
    return TRUE;
}

void CAddinApp::traceLoad(const CLSID& id) {
    const std::string config = configFileBesideThisModule();
    if (!startTraceFromSettings(config)) return;
    trace::traceLine(trace::End::Module, "Brannock.dll loaded; trace set by %s", config.c_str());
    if (id != GUID_NULL)
        trace::traceLine(trace::End::Module, "class identifier %s", classIdText(id).c_str());
    else
        trace::traceLine(trace::End::Module, "class identifier null: %s",
                         nullClassIdReason(kAddinConfigSection, kAddinConfigKey, config.c_str()));
}

int CAddinApp::ExitInstance() {
    comModule().term();
    // The file itself is closed with the module's static objects.
    trace::traceLine(trace::End::Module, "Brannock.dll unloaded");
    return 0;
}
