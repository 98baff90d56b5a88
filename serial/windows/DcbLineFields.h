// Line parameters written into a Windows DCB; what the user does not choose stays as the port reported it.
#pragma once

#include <windows.h>

#include "serial/LineSettings.h"

void ChangeLineFields(DCB& dcb, const LineParameters& parameters);
