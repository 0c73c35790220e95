// Resources of a loaded module.

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace platform {

using win32::fromHandle;
using win32::toHandle;

ModuleHandle ownModule() {
    return fromHandle(GetModuleHandleA(nullptr));
}

// An integer resource identifier is a 16-bit value other than 0; anything else
// would be truncated by MAKEINTRESOURCEA and could name a different resource.
static bool isIntegerResourceId(int id) {
    return id > 0 && id <= 0xFFFF;
}

bool findResource(ModuleHandle module, int name, int type, const unsigned char*& bytes,
                  std::uint32_t& size) {
    // A null module would make the system search the executable itself.
    if (module == 0 || !isIntegerResourceId(name) || !isIntegerResourceId(type))
        return false;
    HMODULE handle = toHandle<HMODULE>(module);
    HRSRC info = FindResourceA(handle, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
    if (info == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(handle, info);
    if (loaded == nullptr)
        return false;
    const void* locked = LockResource(loaded);
    if (locked == nullptr)
        return false;
    bytes = static_cast<const unsigned char*>(locked);
    size = SizeofResource(handle, info);
    return true;
}

} // namespace platform
