// Loads the plug-in with dlopen, as the host does, and drives its exports.

#include "host/PluginAbi.h"
#include "support/TempDir.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

template <class Fn> Fn symbol(void* lib, const char* name) {
    auto* sym = dlsym(lib, name);
    EXPECT_NE(sym, nullptr) << name << " is not exported";
    return reinterpret_cast<Fn>(sym);
}

} // namespace

TEST(PluginExportsTest, RegistersCreatesAndReportsWhenItCanUnload) {
    const ocable::testsupport::TempDir dir("reg");
    const fs::path registry = dir / "plugins.reg";
    setenv(ocable::host::kRegistryEnvVar, registry.c_str(), 1);

    void* lib = dlopen(OCABLE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto reg = symbol<DllRegisterServerFn>(lib, "DllRegisterServer");
    auto unreg = symbol<DllUnregisterServerFn>(lib, "DllUnregisterServer");
    auto getClass = symbol<DllGetClassObjectFn>(lib, "DllGetClassObject");
    auto canUnload = symbol<DllCanUnloadNowFn>(lib, "DllCanUnloadNow");

    ASSERT_EQ(reg(), ocable::host::kOk);
    const std::string line = ocable::testsupport::readText(registry);
    EXPECT_EQ(line.rfind("QzTransViewOcable\tclsMain\t1.00\t/", 0), 0u) << line;
    EXPECT_NE(line.find(fs::canonical(OCABLE_PLUGIN_PATH).string()), std::string::npos);

    EXPECT_EQ(canUnload(), ocable::host::kOk);
    ocable::host::IClassFactory* raw = nullptr;
    EXPECT_EQ(getClass("clsOther", &raw), ocable::host::kNoClass);
    EXPECT_EQ(raw, nullptr);
    ASSERT_EQ(getClass("clsMain", &raw), ocable::host::kOk);
    std::unique_ptr<ocable::host::IClassFactory> factory(raw);
    EXPECT_EQ(canUnload(), ocable::host::kFalse);
    auto instance = factory->CreateInstance();
    ASSERT_NE(instance, nullptr);
    factory.reset();
    EXPECT_EQ(canUnload(), ocable::host::kFalse); // the instance is still alive
    instance.reset();
    EXPECT_EQ(canUnload(), ocable::host::kOk);

    ASSERT_EQ(unreg(), ocable::host::kOk);
    EXPECT_EQ(ocable::testsupport::readText(registry), "");
    dlclose(lib);
}
