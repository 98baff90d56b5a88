// Decodes arbitrary bytes in each character set, split at an arbitrary point, and traps unless the split
// changes nothing, every character is one Unicode has, and well-formed UTF-8 comes out as it went in.
#include <cstddef>
#include <cstdint>
#include <string>

#include "keys/CharacterDecoder.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

constexpr int Charsets = 6;

std::string Utf8(const std::u32string& characters) {
    std::string bytes;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            bytes += char(c);
        } else if (c < 0x800) {
            bytes += char(0xC0 | (c >> 6));
            bytes += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += char(0xE0 | (c >> 12));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        } else {
            bytes += char(0xF0 | (c >> 18));
            bytes += char(0x80 | ((c >> 12) & 0x3F));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

}  // namespace

// The first byte chooses the character set, the second where the bytes split into two reads.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto charset = static_cast<Charset>(data[0] % Charsets);
    const std::uint8_t* bytes = data + 2;
    const std::size_t count = size - 2;
    const std::size_t split = count == 0 ? 0 : data[1] % (count + 1);

    std::u32string whole, parts;
    CharacterDecoder(charset).Decode(bytes, count, whole);
    CharacterDecoder decoder(charset);
    decoder.Decode(bytes, split, parts);
    decoder.Decode(bytes + split, count - split, parts);
    Check(parts == whole);

    bool replaced = false;
    for (const char32_t c : whole) {
        Check(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
        replaced = replaced || c == ReplacementCharacter;
    }
    Check(whole.size() <= count);
    if (charset != Charset::Utf8 || replaced) return 0;

    // Nothing replaced: the input was UTF-8, maybe after a byte-order mark and before the start of
    // a character still to come.
    const std::string input(reinterpret_cast<const char*>(bytes), count);
    const std::string again = Utf8(whole);
    const std::string body = input.compare(0, 3, "\xEF\xBB\xBF") == 0 ? input.substr(3) : input;
    Check(body.compare(0, again.size(), again) == 0);
    Check(body.size() - again.size() < 4);
    return 0;
}
