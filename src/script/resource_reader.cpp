#include "script/resource_reader.h"

#include <cstring>

bool ResourceReader::load(int name, int type) {
    data.reset();
    size = 0;
    if (module == 0) {
        return false;
    }
    const unsigned char* bytes = nullptr;
    std::uint32_t found = 0;
    if (!platform::findResource(module, name, type, bytes, found)) {
        return false;
    }
    data = std::make_unique_for_overwrite<char[]>(std::size_t(found) + 1);
    if (found != 0) {
        std::memcpy(data.get(), bytes, found);
    }
    data[found] = '\0';
    size = found;
    return true;
}
