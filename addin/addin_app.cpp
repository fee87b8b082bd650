#include "addin/addin_app.h"

#include <string>

#include "addin/addin_identity.h"
#include "addin/com_module.h"
#include "channel/channel_names.h"

CAddinApp theApp;

// This runs under the loader lock. The identity lookup reads the registry,
// a private-profile file and may copy one file (a pending installer
// configuration), and parses the identifier with CLSIDFromString; none of
// these loads another DLL or waits for another thread, which is what the
// loader lock forbids in practice.
BOOL CAddinApp::InitInstance(HINSTANCE) {
    try {
        std::string suffix = classIdText(configuredAddinClassId());
        appendChannelNameSuffix(suffix.c_str());
    } catch (...) {
        // Out of memory at load: the names stay unsuffixed.
    }
    return TRUE;
}

int CAddinApp::ExitInstance() {
    comModule().term();
    return 0;
}
