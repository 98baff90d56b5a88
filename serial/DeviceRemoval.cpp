// Whether a port's device is there, from the Windows codes of a failed read, query or open.
#include "serial/DeviceRemoval.h"

#include <algorithm>
#include <iterator>

namespace {

// What Windows reports, for a read or for the error query on the handle, once the device behind
// the handle has been removed. Drivers differ: the USB CDC driver answers "access denied" or "the
// device does not recognize the command", other USB-serial drivers "a device attached to the
// system is not functioning", and some the codes that name a removal outright. Wine's reads on a
// device that has gone end empty instead, but its error query fails.
//
// Not here, on purpose:
// - ERROR_OPERATION_ABORTED (995): a line error with abort-on-error set ends reads so, and so
//   does our own cancel before a close. Some drivers also fail reads so after a removal; then
//   the error query, which fails on a device that has gone, decides.
// - ERROR_INVALID_PARAMETER (87) and the like: some virtual ports have no error query at all
//   and always fail it so, while their device is there.
constexpr PortError RemovalErrors[] = {
    2,     // ERROR_FILE_NOT_FOUND: the device object behind the handle is gone
    5,     // ERROR_ACCESS_DENIED: the USB CDC driver after a surprise removal
    21,    // ERROR_NOT_READY: Wine's error query on a terminal that has hung up
    22,    // ERROR_BAD_COMMAND: USB-serial drivers once the device has gone
    31,    // ERROR_GEN_FAILURE: USB-serial drivers once the device has gone
    55,    // ERROR_DEV_NOT_EXIST
    433,   // ERROR_NO_SUCH_DEVICE
    1167,  // ERROR_DEVICE_NOT_CONNECTED
    1617,  // ERROR_DEVICE_REMOVED
};

bool IsRemovalError(PortError error) {
    return std::find(std::begin(RemovalErrors), std::end(RemovalErrors), error) != std::end(RemovalErrors);
}

}  // namespace

bool DeviceIsGone(PortError readError, PortError queryError) {
    return IsRemovalError(readError) || IsRemovalError(queryError);
}

bool DeviceIsAbsent(PortError openError) {
    // The codes of a removal, and ERROR_PATH_NOT_FOUND: no device answers to the name. But a port
    // that another program holds answers ERROR_ACCESS_DENIED, and its device is there.
    constexpr PortError PathNotFound = 3, AccessDenied = 5;
    return openError == PathNotFound || (openError != AccessDenied && IsRemovalError(openError));
}
