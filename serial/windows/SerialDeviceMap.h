// The serial ports that the system has, from its serial device map.
#pragma once

#include <string>
#include <vector>

// The port names ("COM12") that HKLM\HARDWARE\DEVICEMAP\SERIALCOMM lists, in the map's order.
// The map is where serial drivers enter the ports of the devices present; nothing is opened to
// find them, so a port that another program holds is listed too. Empty when there is no map.
std::vector<std::wstring> SerialPortsInDeviceMap();
