// Line values written into a Windows DCB; what is not chosen stays as the port reported it.
#pragma once

#include <windows.h>

#include "serial/SerialPorts.h"

void ChangeLineFields(DCB& dcb, const LineValues& line);
