// PlmFleetKit: for administrators of many machines, the settings the tool
// writes for one user, as a computer policy file (PlmPolicy.reg) and as an
// Enterprise Mode Site List (PlmSiteList.xml). Both are made from the
// tool's own address rules and tables, so the fleet cannot drift from it.
//   PlmFleetKit.exe http://plm.example.com/plm [output folder]
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/Text.h"
#include "text/CodePage.h"
#include "config/SiteUrl.h"

namespace plm::fleet {

inline constexpr TextView PolicyFileName = u"PlmPolicy.reg";
inline constexpr TextView SiteListFileName = u"PlmSiteList.xml";

// Exit statuses.
inline constexpr int KitWritten = 0;
inline constexpr int KitNotWritten = 1;  // a file could not be written
inline constexpr int KitRefused = 2;     // a refused address or a wrong command line

// The file operations of the platform, on whole paths. The failures come
// back as the system's own wording of the reason.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Path separators; the first is the one a joined path gets.
    virtual TextView Separators() const = 0;
    // Creates or replaces the file with exactly these bytes.
    virtual std::optional<Text> Write(TextView path, std::string_view bytes) = 0;
    // Renames `from` over `to`, replacing a file `to` in one step.
    virtual std::optional<Text> Replace(TextView from, TextView to) = 0;
    virtual void Remove(TextView path) = 0;
};

// The platform's own (Win32 on Windows, C stdio elsewhere).
FileSystem& SystemFiles();

// PlmPolicy.reg: a Registry Editor 5.00 file in UTF-16 LE with BOM and CRLF,
// as regedit writes it. Under HKEY_LOCAL_MACHINE: the site in the computer
// policy's Site to Zone Assignment List, the URL actions of the Trusted
// Sites template as computer policy, and the code-base search path.
std::string PolicyFile(const config::SiteAddress& site);

// PlmSiteList.xml: an Enterprise Mode Site List (schema v.2) in UTF-8 that
// opens `hostAndPort` in Internet Explorer mode.
std::string SiteListFile(TextView hostAndPort);

// The name of the site's value in the Site to Zone Assignment List: the
// scheme and the host as the tool registers them, "http://plm.example.com";
// a numeric host by its address alone, "10.1.2.3", which the list applies
// to every scheme.
Text ZoneMapEntryName(const config::SiteAddress& site);

// A text as a quoted .reg string ("\" and "\\" escaped), and as XML
// character data or attribute text.
Text RegQuoted(TextView text);
Text XmlEscaped(TextView text);

struct KitRun {
    int status = KitRefused;
    Text out;  // for stdout
    Text err;  // for stderr
};

// One run of the program on its arguments (the program name left out).
// Both files are written to temporary names first and renamed only when
// both are complete; a failure removes what it wrote.
KitRun RunFleetKit(std::span<const Text> args, FileSystem& files, const CodePage& codePage);

}  // namespace plm::fleet
