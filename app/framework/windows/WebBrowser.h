// The user's web browser, started on a URL.
#pragma once

#include <string>

// Starts the browser that the system opens web links with, on `url`; false when there is none or it
// cannot be started. The shell itself would drop a fragment ("#topic") from a file it opens, so the
// browser is started with the command that it registered for web links.
bool OpenInWebBrowser(const std::wstring& url);
