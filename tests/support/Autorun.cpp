#include "Autorun.h"

#include <sys/prctl.h>
#include <sys/stat.h>

namespace support
{
namespace
{
    const std::vector<std::string> plainEnvironment{ "PATH=/usr/bin:/bin", "HOME=/tmp" };
}

bool canActAsDesktopUser()
{
    return getuid() == 0 && runToEnd (asDesktopUser ({ "true" }), plainEnvironment).status == std::optional<int> (0);
}

Ending masterImage (const juce::File& staged, const juce::File& image)
{
    return runToEnd ({ BRELVAN_DISC_MASTER, staged.getFullPathName().toStdString(), image.getFullPathName().toStdString() }, plainEnvironment, 60s);
}

Ending makeStick (const juce::File& staged, const juce::File& image)
{
    const auto mastered = masterImage (staged, image.withFileExtension ("iso"));
    if (mastered.status != std::optional<int> (0))
        return mastered;
    return runToEnd ({ BRELVAN_SOURCE_DIR "/tools/disc/make-stick.sh", staged.getFullPathName().toStdString(), image.getFullPathName().toStdString() },
                     { "PATH=/usr/sbin:/sbin:/usr/bin:/bin" }, 60s);
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
            command = asDesktopUser (command);
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

std::unique_ptr<Disc> recordingDisc (const juce::File& windowsProgram)
{
    auto disc = std::make_unique<Disc>();
    juce::MemoryBlock program;
    juce::File (BRELVAN_STAND_IN).loadFileAsData (program);
    disc->putInstaller ("Orvalis/Orvalis.exe", program, 0755);

    // The Windows program, without execute bit, as the disc carries it.
    if (windowsProgram.existsAsFile())
    {
        juce::MemoryBlock exe;
        windowsProgram.loadFileAsData (exe);
        disc->putInstaller ("OrvalisBrelvan.exe", exe, 0644);
    }

    // The stand-ins write as the desktop user; the log must take their lines.
    const juce::File log (juce::String (disc->environment().at ("BRELVAN_TEST_LOG")));
    log.create();
    chmod (log.getFullPathName().toRawUTF8(), 0666);
    return disc;
}

void installEverything (Session& s, const Disc& disc, const juce::File& mounted)
{
    for (int item = 0; item < 4; ++item)
        ASSERT_NO_FATAL_FAILURE (s.install (item));

    const auto pack = mounted.getChildFile ("Kestrune/Kestrune.tpk").getFullPathName();
    EXPECT_EQ (disc.runs (5), juce::StringArray ("run Orvalis.exe args=0", "run Tessaly.exe args=0", "run Marrowby.exe args=0", "open args=1", pack));
}

std::string runSoftwareQuestion (const std::string& label)
{
    return "\u201c" + label + "\u201d contains software intended to be automatically started. Would you like to run it?";
}

Session::Start throughRunSoftware (const juce::File& mounted, const std::string& label, AutorunStart how)
{
    return [mounted, label, how] (const XServer& x) -> std::unique_ptr<Process>
    {
        prctl (PR_SET_CHILD_SUBREAPER, 1);
        auto environment = how.environment;
        environment["HOME"] = "/tmp";
        Process asking (x, "/usr/bin/nautilus-autorun-software", { mounted.getFullPathName().toStdString() }, "/tmp", environment, how.errorFile);
        const auto question = waitForTitledWindow (x, runSoftwareQuestion (label));
        EXPECT_TRUE (question.has_value()) << "nautilus-autorun-software did not ask: " << asking.state();
        if (!question)
            return std::make_unique<Process> (-1);

        // Cancel and Run side by side at the dialog's foot: Run on the right.
        const auto& b = question->bounds;
        click (x, { b.getX() + b.getWidth() * 3 / 4, b.getBottom() - 27 });
        EXPECT_EQ (asking.waitForExit (10s), std::optional<int> (0)) << "nautilus-autorun-software: " << asking.state();
        const auto menu = waitForTitledWindow (x, "ORVALIS Brelvan");
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
