// Names that the framework derives from the executable's own path.
#pragma once

#include <string>
#include <string_view>

// The file name without its directory and without its last extension: the application's name.
std::wstring ApplicationNameFromPath(std::wstring_view modulePath);

// The same path with its last extension replaced by ".HLP" (added when there is none).
std::wstring HelpFilePathFromPath(std::wstring_view modulePath);

// The same path with its last extension replaced by ".html": the help page beside the program.
std::wstring HelpPagePathFromPath(std::wstring_view modulePath);
