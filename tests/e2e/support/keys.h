#pragma once
// Keys pressed the way a user presses them: at the X server (XTEST through
// xdotool), so that every Wine process sees them held. Key names are X keysym
// names as xdotool takes them: "F12", "Escape", "ctrl", "a", ...

#include <string>

namespace e2e {

// Runs xdotool on the host with `arguments` and waits for it; false when it
// could not be run or failed (the calling test has then been failed).
bool xdotool(const std::string& arguments);

bool keyDownAtServer(const std::string& key);
bool keyUpAtServer(const std::string& key);
// Down and up.
bool tapAtServer(const std::string& key);

// Holds a key for as long as the record lives; released also when a test fails
// in between, so the next test starts with every key up.
class HeldKey {
  public:
    explicit HeldKey(std::string key);
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    ~HeldKey();

    // Releases it now (once).
    void release();

  private:
    std::string key;
    bool down;
};

} // namespace e2e
