// The module loaded the way Windows hosts load it: LoadLibrary of the bundle's binary, InitDll before
// GetPluginFactory, ExitDll after.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "pluginterfaces/base/ipluginbase.h"

namespace {

using InitFn = bool (*)();
using FactoryFn = Steinberg::IPluginFactory* (*)();

std::wstring Wide(const std::string& path) {
    std::wstring wide;
    for (char c : path)
        wide.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return wide;
}

} // namespace

TEST(WindowsModule, LoadsInitialisesServesItsFactoryAndExits) {
    // Build paths are Unix paths; Wine maps them through its Z: drive.
    std::wstring path = L"Z:" + Wide(HALVANE_MODULE_BINARY);
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr) << "LoadLibrary failed with " << GetLastError();

    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, "InitDll")));
    auto exit = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, "ExitDll")));
    auto getFactory =
        reinterpret_cast<FactoryFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetPluginFactory")));
    ASSERT_TRUE(init && exit && getFactory);
    EXPECT_EQ(GetProcAddress(module, "ModuleEntry"), nullptr) << "Linux entry points stay out of the DLL";

    ASSERT_TRUE(init());
    Steinberg::IPluginFactory* factory = getFactory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(getFactory(), factory) << "one factory per module";
    factory->release();

    Steinberg::PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), Steinberg::kResultOk);
    EXPECT_STREQ(info.vendor, "Vorkesh");
    ASSERT_EQ(factory->countClasses(), 1);
    Steinberg::PClassInfo classInfo;
    ASSERT_EQ(factory->getClassInfo(0, &classInfo), Steinberg::kResultOk);
    EXPECT_STREQ(classInfo.name, "Halvane");
    // The COM-compatible layout: first word least significant byte first, then "Vrks", "rswx".
    const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                        'V',  'r',  'k',  's',  'r',  's',  'w',  'x'};
    EXPECT_EQ(0, memcmp(classInfo.cid, expected, 16));

    factory->release();
    EXPECT_TRUE(exit());
    EXPECT_TRUE(FreeLibrary(module));
}
