#include "keys.h"

#include "host.h"

#include <gtest/gtest.h>

#include <utility>

namespace e2e {

bool xdotool(const std::string& arguments) {
    const std::optional<int> status = runHostCommand("xdotool " + arguments);
    if (status != 0) {
        ADD_FAILURE() << "xdotool " << arguments << " failed";
        return false;
    }
    return true;
}

bool keyDownAtServer(const std::string& key) {
    return xdotool("keydown " + key);
}

bool keyUpAtServer(const std::string& key) {
    return xdotool("keyup " + key);
}

bool tapAtServer(const std::string& key) {
    return keyDownAtServer(key) && keyUpAtServer(key);
}

// Released even when pressing it reported a failure: the key may be down anyway.
HeldKey::HeldKey(std::string key) : key(std::move(key)), down(true) {
    keyDownAtServer(this->key);
}

HeldKey::~HeldKey() {
    release();
}

void HeldKey::release() {
    if (down)
        keyUpAtServer(key);
    down = false;
}

} // namespace e2e
