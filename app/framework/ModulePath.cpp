// Derives the application's name, help file and help page from the executable's path.
#include "app/framework/ModulePath.h"

namespace {

// Where the file name starts: after the last directory separator of either kind.
std::size_t FileNameStart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? 0 : separator + 1;
}

// The path without the last extension of its file name; a dot in a directory name is no extension.
std::wstring_view WithoutExtension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    return dot == std::wstring_view::npos || dot < FileNameStart(path) ? path : path.substr(0, dot);
}

}  // namespace

std::wstring ApplicationNameFromPath(std::wstring_view modulePath) {
    return std::wstring(WithoutExtension(modulePath).substr(FileNameStart(modulePath)));
}

std::wstring HelpFilePathFromPath(std::wstring_view modulePath) {
    return std::wstring(WithoutExtension(modulePath)) + L".HLP";
}

std::wstring HelpPagePathFromPath(std::wstring_view modulePath) {
    return std::wstring(WithoutExtension(modulePath)) + L".html";
}
