#pragma once
// Copies one resource of one module into a buffer of its own.

#include "platform/platform.h"

#include <cstdint>
#include <memory>

struct ResourceReader {
    std::unique_ptr<char[]> data; // the resource's bytes and one NUL; none until load succeeds
    std::uint32_t size = 0;
    platform::ModuleHandle module = 0;

    explicit ResourceReader(platform::ModuleHandle module) : module(module) {}

    // True when `module` has resource `name` of `type`; `data` then holds a copy.
    bool load(int name, int type);
};

constexpr int ScriptResourceName = 1;
constexpr int ScriptResourceType = 10; // RT_RCDATA
