// Test driver: types the bytes given in hex into the focused window, and prints the events it sent.
//
//   SendKeys.exe 48656c6c6f0d
//
// Output: one line per injected event, "vk scan flags extra" in hex.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "keys/windows/KeybdEventSink.h"

namespace {

// Prints each event, then passes it on to the system.
class PrintingSink final : public KeyEventSink {
public:
    void Emit(const KeyEvent& event) override {
        std::printf("%02x %02x %x %x\n", event.virtualKey, event.scanCode, unsigned(event.flags),
                    unsigned(event.extraInfo));
        system_.Emit(event);
    }

private:
    KeybdEventSink system_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strlen(argv[1]) % 2 != 0) {
        std::fprintf(stderr, "usage: SendKeys HEXBYTES\n");
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    for (const char* hex = argv[1]; *hex; hex += 2) {
        const char pair[3] = {hex[0], hex[1], 0};
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(pair, nullptr, 16)));
    }
    PrintingSink sink;
    SendBytesAsKeys(sink, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    std::fflush(stdout);
    return 0;
}
