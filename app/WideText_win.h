// The core's UTF-16 texts at the W API, and the texts of windows.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "text/Text.h"

namespace plm::app {

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);
Text WindowText(HWND window);
void SetWindowTextOf(HWND window, TextView text);

}  // namespace plm::app
