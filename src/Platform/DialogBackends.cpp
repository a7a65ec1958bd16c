#include "Platform/DialogBackends.h"

#include "Platform/DialogModel.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

std::string ModuleBesideTheProgram() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(kPlatDialogModuleName)
                  : program.parent_path() / kPlatDialogModuleName)
        .string();
}

} // namespace

PlatDialogBackend* PlatLoadDialogModule(const std::string& path) {
    // Never unloaded: GTK cannot be shut down and started again.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "The dialogs cannot be loaded: %s\n", dlerror());
        return nullptr;
    }
    auto* entry = reinterpret_cast<PlatDialogModuleEntry>(dlsym(module, kPlatDialogModuleEntry));
    if (!entry) {
        std::fprintf(stderr, "The dialogs cannot be loaded: %s\n", dlerror());
        return nullptr;
    }
    return entry();
}

PlatDialogBackend* PlatChooseDialogBackend() {
    if (PlatDialogBackend* scripted = PlatGetScriptedDialogBackend())
        return scripted;
    static PlatDialogBackend* const gtk = PlatLoadDialogModule(ModuleBesideTheProgram());
    return gtk;
}
