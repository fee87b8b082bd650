#include "addin/addin_identity.h"

#include <cguid.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>

#include "temp_folder.h"
#include "win/unique_handle.h"

namespace {

constexpr char kBuiltIn[] = "{4DA93AFC-CBBD-49DB-B492-5D8DFB6AB9B0}";
constexpr char kOther[] = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}";

CLSID parse(const char* text) {
    CLSID id = GUID_NULL;
    std::wstring wide(text, text + std::strlen(text));
    EXPECT_EQ(S_OK, ::CLSIDFromString(wide.c_str(), &id));
    return id;
}

CLSID lookup(const std::string& config) {
    return getConfiguredClassId(kAddinConfigSection, kAddinConfigKey, config.c_str(), nullptr);
}

// Sets the pending-installer marker for the life of the object.
class PendingMarker {
public:
    explicit PendingMarker(const std::string& path, DWORD type = REG_SZ) {
        win::UniqueRegKey key;
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPendingInstallerKey, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
        ::RegSetValueExA(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(path.c_str()),
                         static_cast<DWORD>(path.size() + 1));
    }
    ~PendingMarker() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPendingInstallerKey); }
};

// Registers a class key (and `subkey` below it) under HKEY_CLASSES_ROOT for
// the life of the object.
class RegisteredClass {
public:
    explicit RegisteredClass(const std::string& classId, const std::string& subkey = {})
        : key_("SOFTWARE\\Classes\\CLSID\\" + classId) {
        win::UniqueRegKey key;
        win::UniqueRegKey below;
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                   nullptr, key.put(), nullptr));
        if (!subkey.empty())
            EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(key.get(), subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                       nullptr, below.put(), nullptr));
    }
    ~RegisteredClass() { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_.c_str()); }

private:
    std::string key_;
};

TEST(AddinIdentity, ReadsTheAddinKeyOfThePalmHandheldSectionOnly) {
    TempFolder folder;
    std::string config = folder.file("conn_install.cfg");
    const std::string builtIn = kBuiltIn;
    const std::pair<std::string, const char*> cases[] = {
        {addinConfigText(kBuiltIn), kBuiltIn},
        {"[Palm handheld]\r\nBrannock.dll={0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d}\r\n", kOther},  // lower case
        {"[Other section]\r\nBrannock.dll=" + builtIn + "\r\n", nullptr},
        {"[Palm handheld]\r\nBrannock.dll=not a class id\r\n", nullptr},
        // Read up to 39 characters: the identifier with anything behind it
        // is cut there and does not parse.
        {"[Palm handheld]\r\nBrannock.dll=" + builtIn + std::string(300, '0') + "\r\n", nullptr},
        {"[Palm handheld]\r\nTarnwick.dll=" + builtIn + "\r\n", nullptr},  // missing key
    };
    for (const auto& [text, expected] : cases) {
        writeTextFile(config, text);
        EXPECT_TRUE(::IsEqualCLSID(expected ? parse(expected) : GUID_NULL, lookup(config))) << text;
    }
    EXPECT_TRUE(::IsEqualCLSID(parse(kBuiltIn),  // the last file, under the sibling's key
                               getConfiguredClassId(kAddinConfigSection, kSiblingConfigKey, config.c_str(), nullptr)));
    EXPECT_TRUE(::IsEqualCLSID(GUID_NULL, lookup(folder.file("missing.cfg")))) << "missing file";
}

TEST(AddinIdentity, FindsTheConfigurationBesideTheModule) {
    TempFolder folder;
    std::string dll = folder.file("Brannock.dll");
    ASSERT_TRUE(::CopyFileA((programFolder() + "Brannock.dll").c_str(), dll.c_str(), FALSE));
    writeTextFile(folder.file("conn_install.cfg"), addinConfigText(kOther));
    HMODULE module = ::LoadLibraryA(dll.c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_TRUE(::IsEqualCLSID(parse(kOther),
                               getConfiguredClassId(kAddinConfigSection, kAddinConfigKey, nullptr, module)));
    ::FreeLibrary(module);
}

class PendingInstaller : public ::testing::Test {
protected:
    PendingInstaller() {
        writeTextFile(config, addinConfigText(kBuiltIn));
        writeTextFile(pending, addinConfigText(kOther));
    }
    int adopt() { return adoptInstallerConfig(kAddinConfigSection, kAddinConfigKey, config.c_str()); }

    TempFolder folder;
    std::string config = folder.file("conn_install.cfg");
    std::string pending = folder.file("pending.cfg");
};

TEST_F(PendingInstaller, MarkerAtTheOwnFileOrNoMarkerLeavesItAsItIs) {
    EXPECT_EQ(1, adopt());
    PendingMarker marker(config);
    EXPECT_EQ(1, adopt());
    EXPECT_TRUE(::IsEqualCLSID(parse(kBuiltIn), lookup(config)));
    EXPECT_EQ(addinConfigText(kBuiltIn), readTextFile(config));
}

TEST_F(PendingInstaller, RegisteredPendingFileReplacesTheOwnBeforeTheFirstLookup) {
    PendingMarker marker(pending);
    RegisteredClass registered(kOther);
    EXPECT_TRUE(::IsEqualCLSID(parse(kOther), lookup(config)));
    EXPECT_EQ(addinConfigText(kOther), readTextFile(config));
}

TEST_F(PendingInstaller, UnregisteredPendingFileIsCopiedOrFailsTheLookup) {
    {
        PendingMarker marker(pending);
        EXPECT_EQ(0, adopt());
        EXPECT_EQ(addinConfigText(kOther), readTextFile(config));
    }
    writeTextFile(config, addinConfigText(kBuiltIn));
    {
        PendingMarker marker(folder.file("gone.cfg"));
        EXPECT_EQ(E_FAIL, adopt());
        EXPECT_TRUE(::IsEqualCLSID(GUID_NULL, lookup(config))) << "a failed copy gives the null identifier";
        EXPECT_EQ(addinConfigText(kBuiltIn), readTextFile(config));
    }
    win::UniqueRegKey key;  // a marker without a value
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPendingInstallerKey, 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
    EXPECT_EQ(0, adopt());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPendingInstallerKey);
}

// The limits and readings of the hand-over, each pinned by a case that comes
// out otherwise when it is broken.
TEST_F(PendingInstaller, ReadsTheMarkerAndThePendingFileWithinTheirLimits) {
    // A key name of 214 characters makes the pending value exactly 253 long
    // after its class identifier and backslash; the value goes on beyond.
    const std::string subkey(214, 'k');
    writeTextFile(folder.file("long.cfg"), "[Palm handheld]\r\nBrannock.dll=" + std::string(kOther) + "\\" + subkey +
                                               "tail\r\n");
    std::string upperConfig = config;
    for (char& c : upperConfig) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    const std::string base = folder.file("");
    const std::string path259 = base + std::string(259 - base.size(), 'p');
    const std::string path260 = path259 + "p";

    struct Case {
        const char* what;
        std::string marker;
        DWORD type;
        const char* registered;  // class identifier registered, with `subkey` below it
        std::string target;
        long status;
        bool copied;
    };
    const Case cases[] = {
        {"a marker that is not REG_SZ is not read", pending, REG_EXPAND_SZ, nullptr, config, 0, false},
        {"a path of 259 characters is read", path259, REG_SZ, nullptr, config, E_FAIL, false},
        {"a path of 260 characters is not", path260, REG_SZ, nullptr, config, 0, false},
        {"the pending value is read up to 253 characters", folder.file("long.cfg"), REG_SZ, kOther, config, 1, true},
        {"registered class but the copy fails", pending, REG_SZ, kOther, folder.file("none\\conn_install.cfg"), 1,
         false},
    };
    {
        // The comparison counts letter case: the own file named otherwise
        // is copied over itself (whatever the copy then gives), not kept.
        PendingMarker marker(upperConfig);
        EXPECT_NE(1, adopt());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeTextFile(config, addinConfigText(kBuiltIn));
        PendingMarker marker(c.marker, c.type);
        std::unique_ptr<RegisteredClass> registered;
        if (c.registered) registered = std::make_unique<RegisteredClass>(c.registered, subkey);
        EXPECT_EQ(c.status, adoptInstallerConfig(kAddinConfigSection, kAddinConfigKey, c.target.c_str()));
        EXPECT_EQ(c.copied, readTextFile(config) != addinConfigText(kBuiltIn));
    }
}

}  // namespace
