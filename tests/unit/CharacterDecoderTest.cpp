// Bytes to characters: UTF-8 as browsers decode it, split anywhere across reads, and the single-byte
// character sets against Python's codecs.
#include "keys/CharacterDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CodePageReference.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr char32_t Bad = ReplacementCharacter;

std::u32string Decoded(Charset charset, const Bytes& bytes) {
    CharacterDecoder decoder(charset);
    std::u32string characters;
    decoder.Decode(bytes.data(), bytes.size(), characters);
    return characters;
}

std::string Hex(const std::u32string& characters) {
    std::string text;
    for (const char32_t c : characters) {
        char one[12];
        std::snprintf(one, sizeof one, "U+%04X ", unsigned(c));
        text += one;
    }
    return text;
}

struct Utf8Case {
    const char* what;
    Bytes bytes;
    std::u32string characters;
};

TEST(CharacterDecoder, DecodesUtf8AndReplacesEachMaximalInvalidPartOnce) {
    const Utf8Case cases[] = {
        {"ASCII", {'a', 'Z', '\r'}, U"aZ\r"},
        {"two bytes", {0xC3, 0xBC}, U"\u00FC"},
        {"three bytes", {0xE2, 0x80, 0x93}, U"\u2013"},
        {"four bytes", {0xF0, 0x9F, 0x98, 0x80}, U"\U0001F600"},
        {"the highest code point", {0xF4, 0x8F, 0xBF, 0xBF}, U"\U0010FFFF"},
        {"a stray continuation byte", {'a', 0x80, 'b'}, {'a', Bad, 'b'}},
        {"two stray continuation bytes", {0x80, 0xBF}, {Bad, Bad}},
        {"an overlong two-byte form", {0xC0, 0xAF}, {Bad, Bad}},
        {"an overlong three-byte form", {0xE0, 0x80, 0xAF}, {Bad, Bad, Bad}},
        {"an overlong four-byte form", {0xF0, 0x80, 0x80, 0xAF}, {Bad, Bad, Bad, Bad}},
        {"a surrogate", {0xED, 0xA0, 0x80}, {Bad, Bad, Bad}},
        {"above U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, {Bad, Bad, Bad, Bad}},
        {"a lead byte that no character has", {0xF5, 'x', 0xFF}, {Bad, 'x', Bad}},
        {"a truncated sequence then ASCII", {0xE2, 0x80, 'x'}, {Bad, 'x'}},
        {"a truncated sequence then a new lead byte", {0xF0, 0x9F, 0x98, 0xC3, 0xBC}, {Bad, 0xFC}},
        {"a lead byte then a lead byte", {0xC3, 0xC3, 0xBC}, {Bad, 0xFC}},
        {"a byte-order mark at the start", {0xEF, 0xBB, 0xBF, 'a'}, U"a"},
        {"a byte-order mark later", {'a', 0xEF, 0xBB, 0xBF}, U"a\uFEFF"},
        {"controls stay controls", {0x00, 0x1B, 0x7F}, {0x00, 0x1B, 0x7F}},
    };
    for (const Utf8Case& c : cases)
        EXPECT_EQ(Hex(Decoded(Charset::Utf8, c.bytes)), Hex(c.characters)) << c.what;
}

// The reads are 20 bytes: a character's bytes may come in two of them, at any point.
TEST(CharacterDecoder, DecodesAUtf8SequenceSplitAcrossTwoReadsWhole) {
    const Bytes text = {'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e', ' ', 0xE2, 0x80, 0x93, ' ', 0xF0, 0x9F, 0x98, 0x80, '!'};
    const std::u32string whole = U"Gr\u00FC\u00DFe \u2013 \U0001F600!";
    for (std::size_t split = 0; split <= text.size(); ++split) {
        CharacterDecoder decoder(Charset::Utf8);
        std::u32string characters;
        decoder.Decode(text.data(), split, characters);
        decoder.Decode(text.data() + split, text.size() - split, characters);
        EXPECT_EQ(Hex(characters), Hex(whole)) << "split after byte " << split;
    }
}

TEST(CharacterDecoder, AResetDropsAnUnfinishedSequenceAndSkipsTheNextStreamsByteOrderMark) {
    CharacterDecoder decoder(Charset::Utf8);
    std::u32string characters;
    const Bytes first = {'a', 0xF0, 0x9F};   // the port is opened again here
    const Bytes second = {0xEF, 0xBB, 0xBF, 0x98, 'b'};
    decoder.Decode(first.data(), first.size(), characters);
    decoder.Reset();
    decoder.Decode(second.data(), second.size(), characters);

    EXPECT_EQ(Hex(characters), Hex({'a', Bad, 'b'}));
}

TEST(CharacterDecoder, InAsciiBytesAbove0x7FGiveNothing) {
    Bytes bytes;
    for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<std::uint8_t>(byte));
    std::u32string below;
    for (char32_t c = 0; c < 0x80; ++c) below.push_back(c);
    EXPECT_EQ(Decoded(Charset::Ascii, bytes), below);
}

struct CodePage {
    Charset charset;
    const std::uint32_t* reference;
    const char* name;
};

// Python's codecs are the reference; where one leaves a byte undefined (five in 1252) the byte
// stays the C1 control of its value, which types nothing.
TEST(CharacterDecoder, EverySingleByteCharacterSetMatchesItsReference) {
    const CodePage pages[] = {{Charset::Latin1, Latin1Reference, "latin1"},
                              {Charset::Windows1252, Windows1252Reference, "1252"},
                              {Charset::Cp437, Cp437Reference, "437"},
                              {Charset::Cp850, Cp850Reference, "850"}};
    for (const CodePage& page : pages) {
        for (int byte = 0; byte < 256; ++byte) {
            const std::u32string decoded = Decoded(page.charset, {static_cast<std::uint8_t>(byte)});
            const std::uint32_t expected = page.reference[byte] == UndefinedInCodec ? std::uint32_t(byte) : page.reference[byte];
            ASSERT_EQ(decoded.size(), 1u) << page.name << " byte " << byte;
            EXPECT_EQ(std::uint32_t(decoded[0]), expected) << page.name << " byte " << byte;
        }
    }
}

}  // namespace
