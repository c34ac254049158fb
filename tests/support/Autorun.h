#pragma once

#include "Session.h"
#include "support/OpticalDriveMount.h"

namespace support
{
/** The user a desktop runs the disc as in these tests: nobody, someone other than its owner. */
constexpr uid_t desktopUser = 65534;

/** Whether the tests can start programs as the desktop user (root and setpriv). */
bool canActAsDesktopUser();

/** Runs disc-master on a staged disc, which also writes its autorun.sh. */
Ending masterImage (const juce::File& staged, const juce::File& image);

/** Writes a stick image of a staged disc, mastering it first (which writes its autorun.sh) beside the image. */
Ending makeStick (const juce::File& staged, const juce::File& image);

/** Runs disc-check on an image. */
Ending discCheck (const juce::File& image);

/** Runs a tool to its end in a plain environment and says whether it succeeded. */
bool succeeds (const std::vector<std::string>& argv);

/** How the menu is started from a mounted disc. */
struct AutorunStart
{
    std::map<std::string, std::string> environment;
    bool asDesktopUser = false;
    const MemoryCgroup* cgroup = nullptr; // runs autorun.sh, and so the menu, inside it
    std::string errorFile;                // takes what autorun.sh and the menu write on standard error
};

/** Starts the menu the way a desktop does: "/bin/sh autorun.sh" in the disc's root,
    as the desktop user where asked. The menu it leaves running becomes ours to watch,
    since this process collects orphans. */
Session::Start throughAutorun (const juce::File& mounted, AutorunStart how);

/** A disc with recording stand-ins for the four items: a compiled program for Orvalis, scripts
    for Tessaly and Marrowby, the pack for Kestrune, and the Windows program where one is given;
    its log open to the desktop user's stand-ins. */
std::unique_ptr<Disc> recordingDisc (const juce::File& windowsProgram);

/** Clicks every Install button on a menu started from a mounted medium, and checks that each
    started what it must: the three installers once each, the pack through the opener. */
void installEverything (Session&, const Disc&, const juce::File& mounted);

/** What GNOME Files' "Run Software" asks of a medium with autorun.sh at its root. */
std::string runSoftwareQuestion (const std::string& label);

/** Starts the menu the way GNOME Files' "Run Software" does: nautilus-autorun-software asks
    whether to run the medium's software, and its Run button, clicked here, runs
    "/bin/sh autorun.sh" in the medium's root. The medium must be mounted where GIO shows
    it (MediaMount). */
Session::Start throughRunSoftware (const juce::File& mounted, const std::string& label, AutorunStart how);

/** Starts the menu by its own path on a mounted disc, as a file manager or a terminal does,
    from /tmp, inside the cgroup where one is given. */
Session::Start byItsPath (const juce::File& mounted, AutorunStart how);

/** The two ways a disc's menu is started, for the tests that take both. */
enum class StartedBy
{
    autorun,
    itsPath
};

Session::Start started (StartedBy, const juce::File& mounted, const AutorunStart& how);

/** "ThroughAutorun" or "ByItsPath", as the tests are named. */
const char* nameOf (StartedBy);
void PrintTo (StartedBy, std::ostream*);
} // namespace support
