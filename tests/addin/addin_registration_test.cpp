#include <windows.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "addin/brannock_addin_idl.h"
#include "dll_copy.h"
#include "win/com_ptr.h"
#include "win/unique_handle.h"

namespace {

constexpr char kClassId[] = "{5E6F7A8B-1C2D-4E3F-9A0B-C1D2E3F4A5B6}";
constexpr char kClassIdLowerCase[] = "{5e6f7a8b-1c2d-4e3f-9a0b-c1d2e3f4a5b6}";
constexpr char kTypeLibrary[] = "{B0D27AF3-7196-450B-9990-C70D233DCB82}";

bool keyExists(const std::string& path) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The value `name` (null: the default value) of a key under HKEY_CLASSES_ROOT;
// "<missing>" when it is not there or not REG_SZ.
std::string value(const std::string& path, const char* name = nullptr) {
    char data[MAX_PATH * 2] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "<missing>";
    return data;
}

std::vector<std::string> subkeys(const std::string& path) {
    std::vector<std::string> names;
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD size = MAX_PATH;
        if (::RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    return names;
}

DWORD valueCount(const std::string& path) {
    win::UniqueRegKey key;
    DWORD count = 0;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                           nullptr, nullptr);
    return count;
}

void expectClassRegistered(const std::string& dll) {
    const std::string cls = std::string("CLSID\\") + kClassId;
    const std::string progId = "Brannock.BrannockAddin";
    const std::tuple<std::string, const char*, std::string> values[] = {
        {progId + ".1", nullptr, "Brannock Addin Class"}, {progId + ".1\\CLSID", nullptr, kClassId},
        {progId, nullptr, "Brannock Addin Class"},        {progId + "\\CLSID", nullptr, kClassId},
        {progId + "\\CurVer", nullptr, progId + ".1"},    {cls, nullptr, "Brannock Addin Class"},
        {cls + "\\ProgID", nullptr, progId + ".1"},       {cls + "\\VersionIndependentProgID", nullptr, progId},
        {cls + "\\InprocServer32", nullptr, dll},         {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\TypeLib", nullptr, kTypeLibrary}};
    for (const auto& [path, name, expected] : values) EXPECT_EQ(expected, value(path, name)) << path;
    EXPECT_TRUE(keyExists(cls + "\\Programmable"));
    EXPECT_EQ(0u, valueCount(cls + "\\Programmable"));
    EXPECT_EQ((std::vector<std::string>{"InprocServer32", "ProgID", "Programmable", "TypeLib",
                                        "VersionIndependentProgID"}),
              subkeys(cls));
    EXPECT_TRUE(keyExists(std::string("TypeLib\\") + kTypeLibrary + "\\1.0"));
}

void expectNothingRegistered() {
    EXPECT_FALSE(keyExists("Brannock.BrannockAddin.1"));
    EXPECT_FALSE(keyExists("Brannock.BrannockAddin"));
    EXPECT_FALSE(keyExists(std::string("CLSID\\") + kClassId));
    EXPECT_FALSE(keyExists(std::string("TypeLib\\") + kTypeLibrary));
    EXPECT_TRUE(keyExists("CLSID"));
}

// The add-in list stand-in, registered in the prefix for the life of the
// object, logging into the test's folder; the log is the list's contents.
class AddinListStandin {
public:
    explicit AddinListStandin(const DllCopy& copy)
        : dll_(copy.folder().file("addin_list_standin.dll")), log_(copy.folder().file("addin_list.log")) {
        copy.addFile("addin_list_standin.dll");
        ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_LOG", log_.c_str());
        EXPECT_EQ(0u, runRegsvr32(dll_));
    }
    ~AddinListStandin() {
        runRegsvr32(dll_, true);
        ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_LOG", nullptr);
        ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_FAIL", nullptr);
    }
    /// Every call logged so far.
    std::string log() const { return readTextFile(log_); }

private:
    std::string dll_;
    std::string log_;
};

// The log lines of the three calls for the test's class identifier.
const std::string id = kClassId;
const std::string findCall = "find " + id + "\n";
const std::string addCall = "add " + id + " Brannock Addin\n";
const std::string removeCall = "remove " + id + "\n";

TEST(Registration, WritesExactlyTheClassKeysRewritesThemAndKeepsTheAddinListCurrent) {
    DllCopy copy(kClassIdLowerCase);
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath())) << "without Palm Desktop's add-in list";
    expectClassRegistered(copy.dllPath());

    AddinListStandin list(copy);
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    EXPECT_EQ(findCall + addCall, list.log());
    ::RegSetValueA(HKEY_CLASSES_ROOT, ("CLSID\\" + id + "\\Stray").c_str(), REG_SZ, "x", 1);
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    expectClassRegistered(copy.dllPath());
    EXPECT_EQ(findCall + addCall + findCall + removeCall + addCall, list.log());

    ASSERT_EQ(0u, runRegsvr32(copy.dllPath(), true));
    expectNothingRegistered();
    EXPECT_EQ(findCall + addCall + findCall + removeCall + addCall + findCall + removeCall, list.log());
}

TEST(Registration, AFailingListCallEndsTheListStepQuietly) {
    DllCopy copy(kClassId);
    AddinListStandin list(copy);

    ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_FAIL", "find");
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    EXPECT_EQ("find " + id + " failed\n", list.log());
    expectClassRegistered(copy.dllPath());

    ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_FAIL", nullptr);
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_FAIL", "remove");
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    EXPECT_EQ("find " + id + " failed\n" + findCall + addCall + findCall + "remove " + id + " failed\n", list.log());

    ::SetEnvironmentVariableA("BRANNOCK_ADDIN_LIST_FAIL", nullptr);
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath(), true));
}

TEST(Registration, AFailedComStepSkipsTheAddinList) {
    DllCopy copy(kClassId);
    AddinListStandin list(copy);
    EXPECT_NE(0u, runRegsvr32(copy.dllPath(), true)) << "nothing to unregister";
    EXPECT_EQ("", list.log());
}

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// This thread has not initialised COM, and the DLL's path holds an
// apostrophe, which the registration script quotes with.
TEST(Registration, WorksWithoutComAndFromAPathWithAnApostrophe) {
    DllCopy copy(kClassId, {}, "brannock's-");
    HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(S_OK, procedure<EntryPoint>(module, "DllRegisterServer")());
    expectClassRegistered(copy.dllPath());

    // A second copy's object takes its type information from the library
    // registered by the first, which the cache hands out as one object.
    DllCopy other(kClassId);
    HMODULE otherModule = ::LoadLibraryA(other.dllPath().c_str());
    ASSERT_NE(nullptr, otherModule);
    {
        win::ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, procedure<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(otherModule, "DllGetClassObject")(
                            CLSID_BrannockAddin, IID_IClassFactory, factory.putVoid()));
        win::ComPtr<IDispatch> addin;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, addin.putVoid()));
        win::ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, addin->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()));
        win::ComPtr<ITypeLib> used;
        UINT index = 0;
        ASSERT_EQ(S_OK, info->GetContainingTypeLib(used.put(), &index));
        win::ComPtr<ITypeLib> registered;
        ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_BrannockAddinLib, 1, 0, 0x0409, registered.put()));
        EXPECT_EQ(registered.get(), used.get());
    }
    ::FreeLibrary(otherModule);

    EXPECT_EQ(S_OK, procedure<EntryPoint>(module, "DllUnregisterServer")());
    expectNothingRegistered();
    ::FreeLibrary(module);
}

}  // namespace
