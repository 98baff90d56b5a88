// Bytes below 0x80 as the characters they are in every character set, for tests that type them.
#pragma once

#include <string>

inline std::u32string AsciiCharacters(const std::string& bytes) {
    std::u32string characters;
    for (const char byte : bytes) characters.push_back(static_cast<unsigned char>(byte));
    return characters;
}
