// Whether a failed read means that the port's device has gone, judged from the platform's codes.
#pragma once

#include <cstdint>

// `readError` is why the read failed, 0 for a read that ended empty; `queryError` is how the
// port's error query (the call that reads and clears its line errors) answered right after it,
// 0 when it succeeded.
bool DeviceIsGone(std::uint32_t readError, std::uint32_t queryError);
