// Test driver: types bytes into the focused window with the program's own key path.
//
//   SendKeys.exe [--print-only] [--characters] 48656c6c6f0d
//   SendKeys.exe --file PATH BYTES_PER_SECOND
//
// With hex bytes it prints one line per event, "vk scan flags extra" in hex; with
// --print-only the events are not injected: tests take them as what another typist
// should produce. By default the bytes strike the key table's keys, as /keys types them;
// with --characters they are typed as characters on the layout of the window in front,
// as the program types them by default. With --file it types the file's bytes, 20 at a
// time as a serial read would deliver them, at most at the given rate, and prints nothing:
// the benchmark's plain injector, the ceiling of the platform's key input. Unpaced, it
// would flood the input queue, which no serial line does.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "keys/CharacterDecoder.h"
#include "keys/windows/SendInputSink.h"
#include "keys/windows/WindowsKeyboardLayout.h"

namespace {

// Prints each event, then passes them on to the system unless told not to.
class PrintingSink final : public KeyEventSink {
public:
    explicit PrintingSink(bool inject) : inject_(inject) {}

    void Send(const KeyEvents& events) override {
        for (const KeyEvent& event : events)
            std::printf("%02x %02x %x %x\n", event.virtualKey, event.scanCode, unsigned(event.flags),
                        unsigned(event.extraInfo));
        if (inject_) system_.Send(events);
    }

private:
    bool inject_;
    SendInputSink system_;
};

// Types every byte of a file in 20-byte pieces, each no earlier than the rate allows.
int TypeFile(const char* path, double bytesPerSecond) {
    std::ifstream file(path, std::ios::binary);
    if (!file || bytesPerSecond <= 0) {
        std::fprintf(stderr, "SendKeys: cannot read %s, or no rate\n", path);
        return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    constexpr std::size_t piece = 20;
    SendInputSink sink;
    const ULONGLONG start = GetTickCount64();
    for (std::size_t offset = 0; offset < bytes.size(); offset += piece) {
        const auto due = start + static_cast<ULONGLONG>(1000.0 * double(offset) / bytesPerSecond);
        if (const ULONGLONG now = GetTickCount64(); now < due) Sleep(static_cast<DWORD>(due - now));
        const std::size_t count = std::min(piece, bytes.size() - offset);
        SendBytesAsKeys(sink, bytes.data() + offset, static_cast<std::uint32_t>(count));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--file") == 0) return TypeFile(argv[2], std::atof(argv[3]));
    bool printOnly = false, characters = false;
    int next = 1;
    for (; next < argc - 1; ++next) {
        if (std::strcmp(argv[next], "--print-only") == 0)
            printOnly = true;
        else if (std::strcmp(argv[next], "--characters") == 0)
            characters = true;
        else
            break;
    }
    const char* hexBytes = argv[argc - 1];
    if (next != argc - 1 || std::strlen(hexBytes) % 2 != 0) {
        std::fprintf(stderr, "usage: SendKeys [--print-only] [--characters] HEXBYTES | "
                             "SendKeys --file PATH BYTES_PER_SECOND\n");
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    for (const char* hex = hexBytes; *hex; hex += 2) {
        const char pair[3] = {hex[0], hex[1], 0};
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(pair, nullptr, 16)));
    }
    PrintingSink sink(!printOnly);
    const auto count = static_cast<std::uint32_t>(bytes.size());
    if (characters) {
        // ASCII, as the program decodes by default.
        std::u32string decoded;
        CharacterDecoder().Decode(bytes.data(), bytes.size(), decoded);
        WindowsKeyboardLayout layout;
        layout.Update();
        KeyEvents events;
        AppendCharacterStrokes(events, layout, decoded.data(), decoded.size());
        sink.Send(events);
    } else {
        SendBytesAsKeys(sink, bytes.data(), count);
    }
    std::fflush(stdout);
    return 0;
}
