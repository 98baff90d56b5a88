// Parses arbitrary bytes as dialog-initialisation data. The address sanitizer
// reports any read beyond them; whatever records come back must be exactly what
// the bytes begin with.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/framework/DialogInitData.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// `records` and the end marker, stored as the header describes.
std::vector<std::uint8_t> Encode(const std::vector<DialogInitRecord>& records) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> 8 * i));
    };
    for (const DialogInitRecord& record : records) {
        put(record.controlId, 2);
        put(DLGINIT_INSERT_ITEM, 2);
        put(static_cast<std::uint32_t>(record.text.size() + 1), 4);
        bytes.insert(bytes.end(), record.text.begin(), record.text.end());
        bytes.push_back(0);
    }
    put(0, 2);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A heap block of exactly `size` bytes, whatever hands the input over, so that
    // any read past the end is caught.
    const std::vector<std::uint8_t> input(data, data + size);
    const auto records = ParseDialogInitData(input.data(), input.size());
    if (!records) return 0;

    for (const DialogInitRecord& record : *records) {
        Check(record.controlId != 0);                         // zero ends the records
        Check(record.text.find('\0') == std::string::npos);  // the length's zero ends the text
    }
    // Stored again, the records are the input's first bytes up to and including the
    // end marker: nothing skipped, altered or made up.
    const std::vector<std::uint8_t> stored = Encode(*records);
    Check(stored.size() <= size && std::equal(stored.begin(), stored.end(), data));
    return 0;
}
