#include "Autorun.h"

#include <sys/prctl.h>

namespace support
{
namespace
{
    const std::vector<std::string> plainEnvironment{ "PATH=/usr/bin:/bin", "HOME=/tmp" };
}

bool canActAsDesktopUser()
{
    return getuid() == 0 && runToEnd ({ "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "true" }, plainEnvironment).status == std::optional<int> (0);
}

Ending masterImage (const juce::File& staged, const juce::File& image)
{
    return runToEnd ({ BRELVAN_DISC_MASTER, staged.getFullPathName().toStdString(), image.getFullPathName().toStdString() }, plainEnvironment, 60s);
}

Ending discCheck (const juce::File& image)
{
    return runToEnd ({ BRELVAN_DISC_CHECK, image.getFullPathName().toStdString() }, plainEnvironment, 60s);
}

bool succeeds (const std::vector<std::string>& argv)
{
    return runToEnd (argv, plainEnvironment, 60s).status == std::optional<int> (0);
}

Session::Start throughAutorun (const juce::File& mounted, AutorunStart how)
{
    return [mounted, how] (const XServer& x) -> std::unique_ptr<Process>
    {
        prctl (PR_SET_CHILD_SUBREAPER, 1);
        std::vector<std::string> command{ "/bin/sh", "autorun.sh" };
        if (how.asDesktopUser)
            command.insert (command.begin(), { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" });
        if (how.cgroup != nullptr)
            command = how.cgroup->wrap (command);

        auto environment = how.environment;
        environment["HOME"] = "/tmp";
        Process autorun (x, command[0], { command.begin() + 1, command.end() }, mounted.getFullPathName().toStdString(), environment, how.errorFile);
        EXPECT_EQ (autorun.waitForExit (10s), std::optional<int> (0)) << "autorun.sh: " << autorun.state();

        const auto menu = waitForTitledWindow (x, "ORVALIS Brelvan");
        if (menu && how.asDesktopUser)
        {
            const auto status = juce::File ("/proc/" + juce::String (menu->pid) + "/status").loadFileAsString();
            EXPECT_TRUE (status.fromFirstOccurrenceOf ("\nUid:", false, false).trim().startsWith (juce::String (desktopUser))) << "the menu does not run as the desktop user";
        }
        return std::make_unique<Process> (menu ? static_cast<pid_t> (menu->pid) : -1);
    };
}

Session::Start byItsPath (const juce::File& mounted, AutorunStart how)
{
    return [mounted, how] (const XServer& x)
    {
        std::vector<std::string> command{ mounted.getChildFile ("OrvalisBrelvan").getFullPathName().toStdString() };
        if (how.cgroup != nullptr)
            command = how.cgroup->wrap (command);
        return std::make_unique<Process> (x, command[0], std::vector<std::string> (command.begin() + 1, command.end()), "/tmp", how.environment,
                                          how.errorFile);
    };
}

Session::Start started (StartedBy way, const juce::File& mounted, const AutorunStart& how)
{
    return way == StartedBy::autorun ? throughAutorun (mounted, how) : byItsPath (mounted, how);
}

const char* nameOf (StartedBy way)
{
    return way == StartedBy::autorun ? "ThroughAutorun" : "ByItsPath";
}

void PrintTo (StartedBy way, std::ostream* out)
{
    *out << nameOf (way);
}
} // namespace support
