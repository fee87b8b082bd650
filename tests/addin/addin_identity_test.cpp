#include "addin/addin_identity.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include <shlwapi.h>

#include "dll_copy.h"
#include "win/unique_handle.h"

namespace {

constexpr char kBuiltIn[] = "{4DA93AFC-CBBD-49DB-B492-5D8DFB6AB9B0}";
constexpr char kOther[] = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}";
constexpr char kNull[] = "{00000000-0000-0000-0000-000000000000}";

/// The identifier named in `config` under `key`, in registry form.
std::string lookup(const std::string& config, const char* key = kAddinConfigKey) {
    return classIdText(getConfiguredClassId(kAddinConfigSection, key, config.c_str(), nullptr));
}

/// HKEY_LOCAL_MACHINE\`path`\`below`, default value `value` unless empty, while it lives.
class RegistryKey {
public:
    RegistryKey(std::string path, const std::string& value, DWORD type = REG_SZ, const std::string& below = {})
        : path_(std::move(path)) {
        win::UniqueRegKey outer, key;
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                   nullptr, outer.put(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(outer.get(), below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                   key.put(), nullptr));
        if (!value.empty())
            ::RegSetValueExA(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    }
    ~RegistryKey() { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

private:
    std::string path_;
};

TEST(AddinIdentity, ReadsTheAddinKeyOfThePalmHandheldSectionOnly) {
    TempFolder folder;
    const std::string config = folder.file("conn_install.cfg");
    const std::string builtIn = kBuiltIn;
    const std::pair<std::string, const char*> cases[] = {
        {addinConfigText(kBuiltIn), kBuiltIn},
        {"[Palm handheld]\r\nBrannock.dll={0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d}\r\n", kOther},  // lower case
        {"[Other section]\r\nBrannock.dll=" + builtIn + "\r\n", kNull},
        {"[Palm handheld]\r\nBrannock.dll=not a class id\r\n", kNull},
        // Read up to 39 characters: the identifier with anything behind it
        // is cut there and does not parse.
        {"[Palm handheld]\r\nBrannock.dll=" + builtIn + std::string(300, '0') + "\r\n", kNull},
        {"[Palm handheld]\r\nTarnwick.dll=" + builtIn + "\r\n", kNull},  // missing key
    };
    for (const auto& [text, expected] : cases) {
        writeTextFile(config, text);
        EXPECT_EQ(expected, lookup(config)) << text;
    }
    EXPECT_EQ(kBuiltIn, lookup(config, kSiblingConfigKey));  // the last file
    EXPECT_EQ(kNull, lookup(folder.file("missing.cfg"))) << "missing file";
}

// The own file names kBuiltIn, a pending installer's file kOther; each limit is
// pinned by a case that comes out otherwise when it is broken.
TEST(AddinIdentity, AdoptsThePendingInstallerConfigurationWithinItsLimits) {
    TempFolder folder;
    const std::string config = folder.file("conn_install.cfg");
    const std::string pending = folder.file("pending.cfg");
    writeTextFile(pending, addinConfigText(kOther));
    // A key name of 214 characters makes the pending value exactly 253 long
    // after its class identifier and backslash; the value goes on beyond.
    const std::string subkey(214, 'k');
    writeTextFile(folder.file("long.cfg"),
                  "[Palm handheld]\r\nBrannock.dll=" + std::string(kOther) + "\\" + subkey + "tail\r\n");
    const std::string path259 = folder.path() + std::string(259 - folder.path().size(), 'p');

    struct Case {
        const char* what;
        std::optional<std::string> marker;  // none: no marker key at all
        DWORD type;
        const char* registered;  // class identifier registered, with `subkey` below it
        std::string target;
        long status;
        bool copied;
        const char* found;  // what the lookup then gives, unless null
    };
    const Case cases[] = {
        {"no marker", std::nullopt, REG_SZ, nullptr, config, 1, false, kBuiltIn},
        {"marker at the own file", config, REG_SZ, nullptr, config, 1, false, kBuiltIn},
        {"marker without a value", std::string(), REG_SZ, nullptr, config, 0, false, kBuiltIn},
        {"registered pending file, adopted before the lookup", pending, REG_SZ, kOther, config, 1, true, kOther},
        {"unregistered pending file is copied", pending, REG_SZ, nullptr, config, 0, true, kOther},
        {"a pending file that is gone fails the lookup", folder.file("gone.cfg"), REG_SZ, nullptr, config, E_FAIL,
         false, kNull},
        {"a marker that is not REG_SZ is not read", pending, REG_EXPAND_SZ, nullptr, config, 0, false, kBuiltIn},
        {"a path of 259 characters is read", path259, REG_SZ, nullptr, config, E_FAIL, false, kNull},
        {"a path of 260 characters is not", path259 + "p", REG_SZ, nullptr, config, 0, false, kBuiltIn},
        {"the pending value is read up to 253 characters", folder.file("long.cfg"), REG_SZ, kOther, config, 1, true,
         nullptr},
        {"registered class but the copy fails", pending, REG_SZ, kOther, folder.file("none\\conn_install.cfg"), 1,
         false, kNull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeTextFile(config, addinConfigText(kBuiltIn));
        std::optional<RegistryKey> marker, registered;
        if (c.marker) marker.emplace(kPendingInstallerKey, *c.marker, c.type);
        if (c.registered) registered.emplace(std::string("SOFTWARE\\Classes\\CLSID\\") + c.registered, "", 0, subkey);
        if (c.found) {
            EXPECT_EQ(c.found, lookup(c.target));
        }
        EXPECT_EQ(c.status, adoptInstallerConfig(kAddinConfigSection, kAddinConfigKey, c.target.c_str()));
        EXPECT_EQ(c.copied, readTextFile(config) != addinConfigText(kBuiltIn));
    }
    // Letter case counts: the own file named otherwise is copied over itself.
    std::string upperConfig = config;
    for (char& c : upperConfig) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    RegistryKey marker(kPendingInstallerKey, upperConfig);
    EXPECT_NE(1, adoptInstallerConfig(kAddinConfigSection, kAddinConfigKey, config.c_str()));
}

}  // namespace
