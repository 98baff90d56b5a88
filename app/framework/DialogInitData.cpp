// Reads the list items stored as dialog-initialisation data.
#include "app/framework/DialogInitData.h"

#include <cstring>

namespace {

// Little-endian fields taken from the front of a buffer, never beyond its end.
class FieldReader {
public:
    FieldReader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    bool Read16(std::uint16_t& value) {
        const std::uint8_t* bytes = nullptr;
        if (!Take(2, bytes)) return false;
        value = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
        return true;
    }

    bool Read32(std::uint32_t& value) {
        const std::uint8_t* bytes = nullptr;
        if (!Take(4, bytes)) return false;
        value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
                std::uint32_t{bytes[3]} << 24;
        return true;
    }

    bool Take(std::size_t count, const std::uint8_t*& bytes) {
        if (count > left_) return false;
        bytes = data_;
        data_ += count;
        left_ -= count;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t left_;
};

}  // namespace

std::optional<std::vector<DialogInitRecord>> ParseDialogInitData(const std::uint8_t* data, std::size_t size) {
    FieldReader in(data, size);
    std::vector<DialogInitRecord> records;
    for (;;) {
        std::uint16_t controlId = 0;
        if (!in.Read16(controlId)) return std::nullopt;  // the end marker is missing
        if (controlId == 0) return records;

        std::uint16_t code = 0;
        std::uint32_t length = 0;
        const std::uint8_t* text = nullptr;
        if (!in.Read16(code) || code != DLGINIT_INSERT_ITEM || !in.Read32(length) || !in.Take(length, text))
            return std::nullopt;
        // The length counts the text's terminating zero, which is its only zero.
        if (length == 0 || std::memchr(text, 0, length) != text + length - 1) return std::nullopt;
        records.push_back({controlId, std::string(reinterpret_cast<const char*>(text), length - 1)});
    }
}
