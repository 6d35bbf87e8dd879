// The decisions of the browser restart: which windows to ask to close,
// which address the browser opens with which launch parameters, and which
// file on disk is the browser.
#pragma once

#include "text/Text.h"
#include "text/CodePage.h"
#include "registry/RegisterKey.h"

namespace plm::config {

// The text before its first NUL (all of it when there is none).
Text TrimAtNull(TextView text);

// True when the title begins with "Login" in exactly this letter case.
bool IsLoginWindowTitle(TextView title);

// The login page of the typed address, trimmed of spaces: unchanged when it
// names a ".aspx" page (any letter case, anywhere), else with "/" (only
// when missing) and "login.aspx" appended. The letter case stays as typed.
Text BuildLoginUrl(TextView urlText);

// The parameters the browser is started with: a space and the login URL in
// double quotes. So that the browser receives exactly one argument naming
// exactly this address, the URL is made safe for the Windows command-line
// rules first: a double quote, every control character (C0, DEL, C1) and
// every character the code page of the ANSI launch call cannot hold exactly
// are percent-encoded as their UTF-8 bytes, and backslashes right before
// the closing quote are doubled. An ordinary address passes unchanged.
Text BuildLaunchParameters(TextView loginUrl, const CodePage& codePage);

// The browser's registration, under HKEY_LOCAL_MACHINE: its default value
// names the file (a 32-bit program reads the 32-bit view). Where no such
// registration names one, the browser is this file in Program Files.
inline constexpr TextView InternetExplorerAppPath =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";
inline constexpr TextView InternetExplorerUnderProgramFiles = u"Internet Explorer\\iexplore.exe";

// The full path of the browser to start: the registered one, trimmed and
// unquoted, when it is a full path; else "Internet Explorer\iexplore.exe"
// in `programFiles`, the system's Program Files folder. Empty when neither
// is a full path. Never a bare name: the shell would look for that in the
// working directory and beside the program first, where anyone who can
// drop a file (a Downloads folder) could plant one.
Text InternetExplorerPath(reg::RegisterKey& registry, TextView programFiles);

}  // namespace plm::config
