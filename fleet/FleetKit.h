// PlmFleetKit: for administrators of many machines, the settings the tool
// writes for one user, as files to deploy: the site as computer policy
// (PlmSite.reg), the Trusted Sites template as computer policy on its own
// (PlmTrustedZone.reg), a removal file for each, the same values for a Group
// Policy Object (PlmPolicy.ps1), and the Enterprise Mode Site List with the
// site (PlmSiteList.xml) and its entry alone (PlmSiteEntry.xml). All are
// made from the tool's own address rules and tables, so the fleet cannot
// drift from it.
//   PlmFleetKit.exe http://plm.example.com/plm [output folder]
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/Text.h"
#include "text/CodePage.h"
#include "config/SiteUrl.h"

namespace plm::fleet {

inline constexpr TextView SiteFileName = u"PlmSite.reg";
inline constexpr TextView TrustedZoneFileName = u"PlmTrustedZone.reg";
inline constexpr TextView SiteRemoveFileName = u"PlmSiteRemove.reg";
inline constexpr TextView TrustedZoneRemoveFileName = u"PlmTrustedZoneRemove.reg";
inline constexpr TextView PowerShellFileName = u"PlmPolicy.ps1";
inline constexpr TextView SiteListFileName = u"PlmSiteList.xml";
inline constexpr TextView SiteEntryFileName = u"PlmSiteEntry.xml";

// Why the tool would refuse `url` (trimmed), in English, the administrators'
// language of the kit: the window's prompt for an address it does not
// take, or its message for a public suffix; nothing when it takes it.
std::optional<Text> RefusalOf(TextView url, const CodePage& codePage);

// Exit statuses.
inline constexpr int KitWritten = 0;
inline constexpr int KitRefused = 1;     // a refused address or a wrong command line: nothing written
inline constexpr int KitNotWritten = 2;  // a file could not be written or replaced

// The file operations of the platform, on whole paths. The failures come
// back as the system's own wording of the reason.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Path separators; the first is the one a joined path gets.
    virtual TextView Separators() const = 0;

    enum class Created { Yes, NameTaken, Failed };
    struct Creation {
        Created outcome = Created::Failed;
        Text reason;  // when Failed
    };
    // Creates a new file at `path` with exactly these bytes. Never opens
    // what is already there, whatever it is (a file, a folder, a link, a
    // dangling link): that is NameTaken. A file it created but could not
    // fill is removed again before it reports Failed.
    virtual Creation CreateNew(TextView path, std::string_view bytes) = 0;
    // Why the kit must not replace what stands at `path`: a link or another
    // reparse point, a folder, anything but a plain file. Nothing there, or
    // a plain file: no reason.
    virtual std::optional<Text> CannotReplace(TextView path) = 0;
    // Renames `from` over `to`, replacing a file `to` in one step.
    virtual std::optional<Text> Replace(TextView from, TextView to) = 0;
    virtual void Remove(TextView path) = 0;
    // A short text that two runs at the same time do not share (the
    // process id), for the names of temporary files.
    virtual Text RunTag() = 0;
};

// The platform's own (Win32 on Windows, POSIX elsewhere).
FileSystem& SystemFiles();

// The name of the site's value in the Site to Zone Assignment List: the
// scheme and the host as the tool registers them, "http://plm.example.com";
// a numeric host by its address alone, "10.1.2.3", which the list applies
// to every scheme.
Text ZoneMapEntryName(const config::SiteAddress& site);

// A text as a quoted .reg string ("\" and "\\" escaped), as a PowerShell
// string in single quotes (every quote character PowerShell takes for one
// doubled), and as XML character data or attribute text.
Text RegQuoted(TextView text);
Text PowerShellQuoted(TextView text);
Text XmlEscaped(TextView text);

struct KitRun {
    int status = KitRefused;
    Text out;  // for stdout
    Text err;  // for stderr
};

// One run of the program on its arguments (the program name left out).
// Every file is written to a new temporary file in the folder first; the
// final names are taken only when all are complete, and a run that cannot
// finish removes the temporary files it made, never another file.
KitRun RunFleetKit(std::span<const Text> args, FileSystem& files, const CodePage& codePage);

}  // namespace plm::fleet
