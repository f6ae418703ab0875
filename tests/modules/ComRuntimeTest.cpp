// The class registry, creation of objects from plugin libraries, and the query window's
// registration check and creation, with the real libTamsel.so, libraries that are not there
// or not in the module folder, and a library elsewhere that must not run.
#include "platform/ComRuntime.h"
#include "platform/SettingsStore.h"
#include "platform/com/ProviderTypesInterface.h"
#include "querycore/CompanionComponent.h"
#include "common/ErrorText.h"
#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace std::chrono_literals;

namespace {

const CLSID kTestClsid{0x12345678, 0x1234, 0x4321, {1, 2, 3, 4, 5, 6, 7, 8}};

ComClassRegistration TestRegistration()
{
    return {kTestClsid, "Test Class", "Torvane.Test.1", "Torvane.Test", "Apartment", GUID{}};
}

std::string Canonical(const std::string& path)
{
    return std::filesystem::canonical(path).string();
}

std::string RegisteredPath(const CLSID& clsid)
{
    return CSettingsStore::Get()
        .GetProfileString("Classes\\CLSID\\" + clsid.ToString() + "\\InprocServer32", "@")
        .utf8_string();
}

// A fresh folder holding the given library under the given name.
std::string FolderWith(const std::string& library, const std::string& name)
{
    const std::string folder = torvane::test::NewTempPath("-modules");
    std::filesystem::create_directories(folder);
    if (!library.empty())
        std::filesystem::create_symlink(library, folder + "/" + name);
    return folder + "/";
}

class ComRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CallServerRegistration(TAMSEL_LIBRARY, false);
        UnregisterComClass(TestRegistration());
        GetErrorInfo();
    }
};

TEST_F(ComRuntimeTest, RegistrationWritesProgIdsAndClsidKeys)
{
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("Torvane.Test", clsid), CO_E_CLASSSTRING);
    ASSERT_EQ(RegisterComClass(TestRegistration(), "/opt/lib/libTest.so"), S_OK);
    for (const char* progId : {"Torvane.Test", "Torvane.Test.1"}) {
        ASSERT_EQ(CLSIDFromProgID(progId, clsid), S_OK) << progId;
        EXPECT_EQ(clsid, kTestClsid);
    }
    CSettingsStore& store = CSettingsStore::Get();
    const wxString key = "Classes\\CLSID\\" + kTestClsid.ToString();
    EXPECT_EQ(store.GetProfileString(key, "@"), "Test Class");
    EXPECT_EQ(store.GetProfileString(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(store.GetProfileString("Classes\\Torvane.Test", "CurVer"), "Torvane.Test.1");
    EXPECT_EQ(ProgIDFromCLSID(kTestClsid), "Torvane.Test.1");
    EXPECT_EQ(RegisteredPath(kTestClsid), "/opt/lib/libTest.so");
    // Only absolute paths are registered.
    EXPECT_EQ(RegisterComClass(TestRegistration(), "libTest.so"), E_INVALIDARG);

    ASSERT_EQ(UnregisterComClass(TestRegistration()), S_OK);
    EXPECT_EQ(CLSIDFromProgID("Torvane.Test.1", clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(RegisteredPath(kTestClsid), "");
}

TEST_F(ComRuntimeTest, PluginRegistersItselfAndCreatesItsObject)
{
    ASSERT_EQ(CallServerRegistration(TAMSEL_LIBRARY, true), S_OK);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_ProviderTypes);
    EXPECT_EQ(RegisteredPath(CLSID_ProviderTypes), Canonical(TAMSEL_LIBRARY));
    EXPECT_EQ(ProgIDFromCLSID(CLSID_ProviderTypes), kProviderTypesVersionedProgID);

    ComPtr<IProviderTypes> types;
    ASSERT_EQ(CoCreateInstance(CLSID_ProviderTypes, nullptr, IID_IProviderTypes, types.AsOut()), S_OK);
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(types.QueryInterface(IID_ISupportErrorInfo, support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IProviderTypes), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    ComPtr<IClassFactory> notOffered;
    EXPECT_EQ(types.QueryInterface(IID_IClassFactory, notOffered), E_NOINTERFACE);

    // A null connection: E_POINTER and no error information.
    EXPECT_EQ(types->Display(nullptr), E_POINTER);
    EXPECT_FALSE(GetErrorInfo());

    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CoCreateInstance(CLSID_ProviderTypes, types.Get(), IID_IUnknown, aggregated.AsOut()),
              CLASS_E_NOAGGREGATION);

    // The library may go only when its last object has.
    void* handle = dlopen(TAMSEL_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(handle);
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), S_FALSE);
    types.Release();
    support.Release();
    EXPECT_EQ(canUnload(), S_OK);
    dlclose(handle);
    CoFreeUnusedLibraries();

    ASSERT_EQ(CallServerRegistration(TAMSEL_LIBRARY, false), S_OK);
    EXPECT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CoCreateInstance(CLSID_ProviderTypes, nullptr, IID_IProviderTypes, types.AsOut()),
              REGDB_E_CLASSNOTREG);
}

TEST_F(ComRuntimeTest, LoaderFailuresComeBackWithErrorInformation)
{
    const std::string modules = std::filesystem::canonical(GetModuleFolder()).string();
    const struct {
        const char* name;
        std::string library;
        HRESULT hr;
        std::string reason;
    } cases[] = {
        {"library elsewhere", "/nonexistent/libTamsel.so", E_ACCESSDENIED,
         "it is not in the program's module folder " + modules},
        {"a test library elsewhere", Canonical(BROKEN_LIBRARY), E_ACCESSDENIED,
         "it is not in the program's module folder " + modules},
        {"relative path", "libTamsel.so", E_ACCESSDENIED, "the registered path is not absolute"},
        {"library missing from the module folder", modules + "/libNoSuchPlugin.so", HRESULT_MOD_NOT_FOUND,
         "No such file or directory"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(RegisterComClass(TestRegistration(), "/placeholder"), S_OK);
        CSettingsStore::Get().WriteProfileString("Classes\\CLSID\\" + kTestClsid.ToString() + "\\InprocServer32",
                                                 "@", wxString::FromUTF8(c.library));
        ComPtr<IUnknown> object;
        EXPECT_EQ(CoCreateInstance(kTestClsid, nullptr, IID_IUnknown, object.AsOut()), c.hr) << c.name;
        EXPECT_FALSE(object);
        const auto info = GetErrorInfo();
        ASSERT_TRUE(info) << c.name;
        EXPECT_EQ(info->source, c.library) << c.name;
        EXPECT_EQ(info->description, "Cannot load " + c.library + ": " + c.reason) << c.name;
        EXPECT_FALSE(GetErrorInfo()) << "taken once";
    }
    // Registration loads through the same checks.
    EXPECT_EQ(CallServerRegistration(Canonical(BROKEN_LIBRARY), true), E_ACCESSDENIED);
    GetErrorInfo();
}

TEST_F(ComRuntimeTest, LibrariesAreLookedForInTheGivenFolderOnly)
{
    const std::string withTamsel = FolderWith(TAMSEL_LIBRARY, kProviderTypesLibrary);
    EXPECT_EQ(FindComponentLibrary(withTamsel, kProviderTypesLibrary), withTamsel + kProviderTypesLibrary);
    EXPECT_EQ(FindComponentLibrary(withTamsel, "libFerrow.so"), "");
    EXPECT_EQ(FindComponentLibrary("relative/", kProviderTypesLibrary), "");
    EXPECT_EQ(FindComponentLibrary(withTamsel, "../" + std::string(kProviderTypesLibrary)), "");

    // Not registered and not there; a copy there, but in a folder that is not the module folder.
    EXPECT_FALSE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, FolderWith("", "")));
    const std::string withCopy = FolderWith("", "");
    std::filesystem::copy_file(TAMSEL_LIBRARY, withCopy + kProviderTypesLibrary);
    EXPECT_FALSE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, withCopy));
    const auto refusal = GetErrorInfo();
    ASSERT_TRUE(refusal) << "the refusal comes back with its reason";
    EXPECT_EQ(refusal->description, "Cannot load " + withCopy + kProviderTypesLibrary +
                                        ": it is not in the program's module folder " +
                                        std::filesystem::canonical(GetModuleFolder()).string());
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), CO_E_CLASSSTRING);
    // A library that is not there, or one that registers, leaves no error information.
    EXPECT_FALSE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, FolderWith("", "")));
    EXPECT_FALSE(GetErrorInfo());

    // Not registered but in the module folder: it registers itself.
    EXPECT_TRUE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, GetModuleFolder()));
    EXPECT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), S_OK);
    // Registered: no folder needed.
    EXPECT_TRUE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, FolderWith("", "")));
}

TEST_F(ComRuntimeTest, CreationRegistersAgainAndRetriesOnce)
{
    // A registration left behind by a library of the module folder that is gone.
    ASSERT_EQ(CallServerRegistration(TAMSEL_LIBRARY, true), S_OK);
    const std::string gone = std::filesystem::canonical(GetModuleFolder()).string() + "/libTamselOld.so";
    CSettingsStore::Get().WriteProfileString(
        "Classes\\CLSID\\" + CLSID_ProviderTypes.ToString() + "\\InprocServer32", "@", gone);

    const std::string empty = FolderWith("", "");
    try {
        CreateComponent<IProviderTypes>(CLSID_ProviderTypes, IID_IProviderTypes, kProviderTypesLibrary, empty, 0ms);
        FAIL() << "created from a library that is not there";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), HRESULT_MOD_NOT_FOUND);
        const wxString text = GetComErrorText(e);
        EXPECT_TRUE(text.StartsWith("HRESULT: 0x8007007e; Error: ")) << text;
        EXPECT_NE(text.Find("\nSource: " + gone + "; Description: Cannot load " + gone), wxNOT_FOUND) << text;
    }

    ComPtr<IProviderTypes> types = CreateComponent<IProviderTypes>(
        CLSID_ProviderTypes, IID_IProviderTypes, kProviderTypesLibrary, GetModuleFolder(), 0ms);
    ASSERT_TRUE(types);
    EXPECT_EQ(types->Display(nullptr), E_POINTER);
    EXPECT_EQ(RegisteredPath(CLSID_ProviderTypes), Canonical(TAMSEL_LIBRARY));
}

TEST_F(ComRuntimeTest, ARegistrationNamingALibraryElsewhereRunsNothingAndIsNotReplaced)
{
    // The marker library, which marks that it was loaded, registered from elsewhere for the
    // provider types class.
    const std::string folder = FolderWith("", "");
    const std::string planted = folder + kProviderTypesLibrary;
    std::filesystem::copy_file(MARKER_LIBRARY, planted);
    const std::string marker = folder + "loaded";
    setenv("TORVANE_TEST_MARKER", marker.c_str(), 1);
    ASSERT_EQ(CallServerRegistration(TAMSEL_LIBRARY, true), S_OK);
    CSettingsStore::Get().WriteProfileString(
        "Classes\\CLSID\\" + CLSID_ProviderTypes.ToString() + "\\InprocServer32", "@", planted);

    // Refused with the reason, though the module folder holds the class's own library.
    try {
        CreateComponent<IProviderTypes>(CLSID_ProviderTypes, IID_IProviderTypes, kProviderTypesLibrary,
                                        GetModuleFolder(), 0ms);
        FAIL() << "created from " << planted;
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), E_ACCESSDENIED);
        EXPECT_EQ(GetComErrorText(e), "HRESULT: 0x80070005; Error: Access is denied.\nSource: " + planted +
                                          "; Description: Cannot load " + planted +
                                          ": it is not in the program's module folder " +
                                          std::filesystem::canonical(GetModuleFolder()).string());
    }
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the planted library ran";
    EXPECT_EQ(RegisteredPath(CLSID_ProviderTypes), planted) << "replaced without a word";

    // What the refusal kept from running: loaded, the library marks it.
    void* handle = dlopen(planted.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle) << dlerror();
    dlclose(handle);
    EXPECT_TRUE(std::filesystem::exists(marker));
    unsetenv("TORVANE_TEST_MARKER");
}

} // namespace
