// The serial ports that the system has, read from the registry's serial device map.
#include "serial/windows/SerialDeviceMap.h"

#include <windows.h>

#include "keys/windows/SystemError.h"

std::vector<std::wstring> SerialPortsInDeviceMap() {
    std::vector<std::wstring> ports;
    HKEY map = nullptr;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &map);
    if (opened != ERROR_SUCCESS) {
        // A system without serial ports has no map at all; COM1 to COM9 are still offered.
        if (opened != ERROR_FILE_NOT_FOUND)
            TraceFailedCall(L"RegOpenKeyEx(SERIALCOMM)", static_cast<DWORD>(opened));
        return ports;
    }
    // Each value names a driver's device (\Device\Serial11); its data is the port's name.
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = ARRAYSIZE(valueName);
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof data[0];  // room for a zero the data may lack
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(map, index, valueName, &valueNameLength, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        // A value too long for a port name is no port's; the next may be.
        if (status != ERROR_SUCCESS || type != REG_SZ) continue;
        ports.emplace_back(data, wcsnlen(data, dataSize / sizeof data[0]));
    }
    RegCloseKey(map);
    return ports;
}
