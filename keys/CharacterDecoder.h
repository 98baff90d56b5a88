// Received bytes turned into characters, in the character set that the device sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The character sets a device may send. Bytes 0x00-0x7F are the same in all of them.
enum class Charset : std::uint8_t {
    Ascii,        // 7 bits: bytes 0x80-0xFF are no characters
    Utf8,         // what QR and other 2D codes with names carry
    Latin1,       // ISO-8859-1: QR byte mode's default
    Windows1252,  // what many scanners and Western European Windows send
    Cp437,        // the code pages of DOS: scales and lab instruments with their °, µ and ±
    Cp850,
};

// A character that a device sent but which could not be decoded: a malformed UTF-8 sequence.
constexpr char32_t ReplacementCharacter = 0xFFFD;

// Decodes a stream of bytes that comes in reads of any size: a character whose bytes come in two
// reads is decoded whole, once its last byte is there.
class CharacterDecoder {
public:
    explicit CharacterDecoder(Charset charset = Charset::Ascii) : charset_(charset) {}

    Charset charset() const { return charset_; }

    // Appends the characters that `bytes` complete, as code points. Bytes 0x00-0x7F are
    // themselves, controls included, in every character set; in ASCII the bytes 0x80-0xFF give
    // nothing. A malformed UTF-8 sequence gives one ReplacementCharacter for each of its maximal
    // parts that could have begun a character, as browsers decode it.
    void Decode(const std::uint8_t* bytes, std::size_t count, std::u32string& characters);
    // A new stream begins (Open): an unfinished sequence is dropped, and a UTF-8 byte-order mark
    // at the very start of the stream gives nothing.
    void Reset();

private:
    void DecodeUtf8(std::uint8_t byte, std::u32string& characters);
    void Emit(char32_t character, std::u32string& characters);

    Charset charset_;
    bool atStart_ = true;
    // The UTF-8 sequence under way: the code point so far, the bytes it still needs, and the
    // range that its next byte must be in.
    char32_t codePoint_ = 0;
    int needed_ = 0;
    std::uint8_t lower_ = 0x80;
    std::uint8_t upper_ = 0xBF;
};
