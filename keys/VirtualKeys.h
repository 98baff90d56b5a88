// Virtual-key codes of the keys the key table strikes, with the values Windows gives them.
#pragma once

#include <cstdint>

// Digit and letter keys have no names: their codes are the ASCII codes of their legends.
namespace VirtualKey {
constexpr std::uint8_t Cancel = 0x03;
constexpr std::uint8_t Back = 0x08;
constexpr std::uint8_t Tab = 0x09;
constexpr std::uint8_t Return = 0x0D;
constexpr std::uint8_t Shift = 0x10;
constexpr std::uint8_t Control = 0x11;
constexpr std::uint8_t Escape = 0x1B;
constexpr std::uint8_t Space = 0x20;
constexpr std::uint8_t Oem1 = 0xBA;       // ;:
constexpr std::uint8_t OemPlus = 0xBB;    // =+
constexpr std::uint8_t OemComma = 0xBC;   // ,<
constexpr std::uint8_t OemMinus = 0xBD;   // -_
constexpr std::uint8_t OemPeriod = 0xBE;  // .>
constexpr std::uint8_t Oem2 = 0xBF;       // /?
constexpr std::uint8_t Oem3 = 0xC0;       // `~
constexpr std::uint8_t Oem4 = 0xDB;       // [{
constexpr std::uint8_t Oem5 = 0xDC;       // \|
constexpr std::uint8_t Oem6 = 0xDD;       // ]}
constexpr std::uint8_t Oem7 = 0xDE;       // '"
}  // namespace VirtualKey
