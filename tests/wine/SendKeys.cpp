// Test driver: types bytes into the focused window with the program's own key path.
//
//   SendKeys.exe [--print-only] 48656c6c6f0d
//   SendKeys.exe --file PATH
//
// With hex bytes it prints one line per event, "vk scan flags extra" in hex; with
// --print-only the events are not injected: tests take them as what another typist
// should produce. With --file it types the file's bytes as fast as it can and prints
// nothing: the benchmark's plain injector, the ceiling of the platform's key input.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "keys/windows/KeybdEventSink.h"

namespace {

// Prints each event, then passes it on to the system unless told not to.
class PrintingSink final : public KeyEventSink {
public:
    explicit PrintingSink(bool inject) : inject_(inject) {}

    void Emit(const KeyEvent& event) override {
        std::printf("%02x %02x %x %x\n", event.virtualKey, event.scanCode, unsigned(event.flags),
                    unsigned(event.extraInfo));
        if (inject_) system_.Emit(event);
    }

private:
    bool inject_;
    KeybdEventSink system_;
};

// Types every byte of a file with nothing printed.
int TypeFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "SendKeys: cannot read %s\n", path);
        return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    KeybdEventSink sink;
    SendBytesAsKeys(sink, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--file") == 0) return TypeFile(argv[2]);
    const bool printOnly = argc == 3 && std::strcmp(argv[1], "--print-only") == 0;
    const char* hexBytes = argv[argc - 1];
    if (argc != 2 + printOnly || std::strlen(hexBytes) % 2 != 0) {
        std::fprintf(stderr, "usage: SendKeys [--print-only] HEXBYTES | SendKeys --file PATH\n");
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    for (const char* hex = hexBytes; *hex; hex += 2) {
        const char pair[3] = {hex[0], hex[1], 0};
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(pair, nullptr, 16)));
    }
    PrintingSink sink(!printOnly);
    SendBytesAsKeys(sink, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    std::fflush(stdout);
    return 0;
}
