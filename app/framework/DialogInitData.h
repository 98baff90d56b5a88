// Dialog-initialisation data: the list items that travel with a dialog template.
#pragma once

// Resource type of the data; the resource has the identifier of its template.
#define RT_DLGINIT 240
// Record code: append the record's text to the list control that the record names.
#define DLGINIT_INSERT_ITEM 0x1234

#ifndef RC_INVOKED
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One item to append to the list control `controlId`.
struct DialogInitRecord {
    std::uint16_t controlId;
    std::string text;

    bool operator==(const DialogInitRecord& other) const {
        return controlId == other.controlId && text == other.text;
    }
};

// The records of `data` in stored order, up to the zero control identifier that ends them.
// Each record is, little-endian: control id (16 bits), DLGINIT_INSERT_ITEM (16 bits),
// text length counting its terminating zero (32 bits), the text and its zero.
// Gives nothing when the data is truncated or malformed; never reads beyond `size` bytes.
std::optional<std::vector<DialogInitRecord>> ParseDialogInitData(const std::uint8_t* data, std::size_t size);
#endif
