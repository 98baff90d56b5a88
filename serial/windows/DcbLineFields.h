// Line parameters written into a Windows DCB, every other field left as the port reported it.
#pragma once

#include <windows.h>

#include "serial/LineSettings.h"

void ChangeLineFields(DCB& dcb, const LineParameters& parameters);
