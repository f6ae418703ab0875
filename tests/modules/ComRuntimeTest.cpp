// The class registry, creation of objects from plugin libraries, and the query window's
// registration check and creation, with the real libTamsel.so, a library that fails, and
// libraries that are not there.
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
    const struct {
        const char* name;
        std::string library;
        HRESULT hr;
        const char* reason;
    } cases[] = {
        {"missing library", "/nonexistent/libTamsel.so", HRESULT_MOD_NOT_FOUND, "No such file"},
        {"relative path", "libTamsel.so", HRESULT_MOD_NOT_FOUND, "not absolute"},
        {"library without the class export", Canonical(BROKEN_LIBRARY), CO_E_ERRORINDLL,
         "does not export DllGetClassObject"},
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
        EXPECT_NE(info->description.find(c.library), std::string::npos) << info->description;
        EXPECT_NE(info->description.find(c.reason), std::string::npos) << info->description;
        EXPECT_FALSE(GetErrorInfo()) << "taken once";
    }
    // A library whose registration fails.
    EXPECT_EQ(CallServerRegistration(Canonical(BROKEN_LIBRARY), true), E_FAIL);
    EXPECT_EQ(CallServerRegistration(Canonical(BROKEN_LIBRARY), false), CO_E_ERRORINDLL);
    GetErrorInfo();
}

TEST_F(ComRuntimeTest, LibrariesAreLookedForInTheGivenFolderOnly)
{
    const std::string withTamsel = FolderWith(TAMSEL_LIBRARY, kProviderTypesLibrary);
    EXPECT_EQ(FindComponentLibrary(withTamsel, kProviderTypesLibrary), withTamsel + kProviderTypesLibrary);
    EXPECT_EQ(FindComponentLibrary(withTamsel, "libFerrow.so"), "");
    EXPECT_EQ(FindComponentLibrary("relative/", kProviderTypesLibrary), "");
    EXPECT_EQ(FindComponentLibrary(withTamsel, "../" + std::string(kProviderTypesLibrary)), "");

    // Not registered and not there; not registered and refusing to register.
    EXPECT_FALSE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, FolderWith("", "")));
    EXPECT_FALSE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary,
                                       FolderWith(BROKEN_LIBRARY, kProviderTypesLibrary)));
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), CO_E_CLASSSTRING);
    EXPECT_FALSE(GetErrorInfo());

    // Not registered but there: it registers itself.
    EXPECT_TRUE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, withTamsel));
    EXPECT_EQ(CLSIDFromProgID(kProviderTypesProgID, clsid), S_OK);
    // Registered: no folder needed.
    EXPECT_TRUE(IsComponentRegistered(kProviderTypesProgID, kProviderTypesLibrary, FolderWith("", "")));
}

TEST_F(ComRuntimeTest, CreationRegistersAgainAndRetriesOnce)
{
    using namespace std::chrono_literals;
    // A registration left behind by a library that has moved.
    ASSERT_EQ(CallServerRegistration(TAMSEL_LIBRARY, true), S_OK);
    CSettingsStore::Get().WriteProfileString(
        "Classes\\CLSID\\" + CLSID_ProviderTypes.ToString() + "\\InprocServer32", "@", "/moved/libTamsel.so");

    const std::string empty = FolderWith("", "");
    try {
        CreateComponent<IProviderTypes>(CLSID_ProviderTypes, IID_IProviderTypes, kProviderTypesLibrary, empty, 0ms);
        FAIL() << "created from a library that is not there";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), HRESULT_MOD_NOT_FOUND);
        const wxString text = GetComErrorText(e);
        EXPECT_TRUE(text.StartsWith("HRESULT: 0x8007007e; Error: ")) << text;
        EXPECT_NE(text.Find("\nSource: /moved/libTamsel.so; Description: Cannot load /moved/libTamsel.so"),
                  wxNOT_FOUND)
            << text;
    }

    ComPtr<IProviderTypes> types = CreateComponent<IProviderTypes>(
        CLSID_ProviderTypes, IID_IProviderTypes, kProviderTypesLibrary,
        FolderWith(TAMSEL_LIBRARY, kProviderTypesLibrary), 0ms);
    ASSERT_TRUE(types);
    EXPECT_EQ(types->Display(nullptr), E_POINTER);
    EXPECT_EQ(RegisteredPath(CLSID_ProviderTypes), Canonical(TAMSEL_LIBRARY));
}

} // namespace
