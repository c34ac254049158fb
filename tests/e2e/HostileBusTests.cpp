// The menu beside buses that do not behave: a session bus that never answers, a launcher of
// the accessibility bus that never answers, status signals from someone other than the
// launcher, and addresses that would run a program. None may freeze the menu, misdirect it
// or run anything; the menu answers every click and ends with status 0.

#include "support/AccessibilityDesktop.h"
#include "support/Session.h"
#include "support/SocketInTheWay.h"

#include <sys/stat.h>

using namespace support;

namespace
{
enum class Bus
{
    silentByAddress,
    silentInRuntimeFolder,
    silentLauncher,
    spoofedStatus,
    programAsSessionAddress,
    programAsAccessibilityAddress
};

const char* nameOf (Bus bus)
{
    switch (bus)
    {
        case Bus::silentByAddress:
            return "ASessionBusThatNeverAnswersNamedByTheEnvironment";
        case Bus::silentInRuntimeFolder:
            return "ASessionBusThatNeverAnswersInTheRuntimeFolder";
        case Bus::silentLauncher:
            return "ALauncherThatNeverAnswersAndSaysItIsOnEvery1500Ms";
        case Bus::spoofedStatus:
            return "StatusSignalsFromSomeoneElseThanTheLauncher";
        case Bus::programAsSessionAddress:
            return "ASessionBusAddressThatWouldRunAProgram";
        case Bus::programAsAccessibilityAddress:
            return "AnAccessibilityBusAddressThatWouldRunAProgram";
    }
    return "";
}

void PrintTo (Bus bus, std::ostream* out)
{
    *out << nameOf (bus);
}

class HostileBus : public testing::TestWithParam<Bus>
{
protected:
    /** The program, its session bus as the case has it. */
    Session start()
    {
        const auto begin = [this] (const XServer& x)
        {
            auto environment = disc.environment();
            environment["DBUS_SESSION_BUS_ADDRESS"] = "";
            environment["XDG_RUNTIME_DIR"] = "";
            arrange (x, environment);
            return std::make_unique<Process> (x, disc.program().getFullPathName().toStdString(), std::vector<std::string>(),
                                              disc.workingFolder().getFullPathName().toStdString(), environment, errors().getFullPathName().toStdString());
        };
        return Session (begin);
    }

    void arrange (const XServer& x, std::map<std::string, std::string>& environment)
    {
        const auto run = disc.workingFolder().getChildFile ("run");
        switch (GetParam())
        {
            case Bus::silentByAddress:
                silentBus = std::make_unique<SocketInTheWay> (disc.workingFolder().getChildFile ("bus"));
                environment["DBUS_SESSION_BUS_ADDRESS"] = silentBus->address();
                break;
            case Bus::silentInRuntimeFolder:
                run.createDirectory();
                chmod (run.getFullPathName().toRawUTF8(), 0700);
                silentBus = std::make_unique<SocketInTheWay> (run.getChildFile ("bus"));
                environment["XDG_RUNTIME_DIR"] = run.getFullPathName().toStdString();
                break;
            case Bus::silentLauncher:
                impostor (x, environment, { "silent" });
                break;
            case Bus::spoofedStatus:
                desktop = std::make_unique<AccessibilityDesktop> (x);
                EXPECT_EQ (desktop->problem(), "");
                spoofer = desktop->start (BRELVAN_IMPOSTOR_LAUNCHER, { "spoof" });
                for (const auto& [key, value] : desktop->environment())
                    environment[key] = value;
                break;
            case Bus::programAsSessionAddress:
                environment["DBUS_SESSION_BUS_ADDRESS"] = "unixexec:path=" + markingProgram();
                break;
            case Bus::programAsAccessibilityAddress:
                impostor (x, environment, { "address", "unixexec:path=" + markingProgram() });
                break;
        }
    }

    /** A session bus where an impostor owns the launcher's name. */
    void impostor (const XServer& x, std::map<std::string, std::string>& environment, const std::vector<std::string>& arguments)
    {
        desktop = std::make_unique<AccessibilityDesktop> (x, AccessibilityDesktop::Launcher::none);
        EXPECT_EQ (desktop->problem(), "");
        spoofer = desktop->start (BRELVAN_IMPOSTOR_LAUNCHER, arguments);
        EXPECT_TRUE (eventually ([this]
                                 { return desktop->hasOwner ("org.a11y.Bus"); }))
            << "the impostor never owned the launcher's name";
        for (const auto& [key, value] : desktop->environment())
            environment[key] = value;
    }

    /** A program that leaves a mark if anything runs it. */
    std::string markingProgram() const
    {
        const auto script = disc.workingFolder().getChildFile ("bus-program");
        script.replaceWithText ("#!/bin/sh\ntouch '" + marker().getFullPathName() + "'\n", false, false, "\n");
        script.setExecutePermission (true);
        return script.getFullPathName().toStdString();
    }

    juce::File marker() const { return disc.workingFolder().getChildFile ("a-bus-address-ran-a-program"); }
    juce::File errors() const { return disc.workingFolder().getChildFile ("errors.txt"); }

    bool isListed() const
    {
        return juce::String (desktop->client ({ "apps" }).output).contains ("ORVALIS Brelvan");
    }

    ~HostileBus() override
    {
        spoofer.reset();
        desktop.reset();
    }

    Disc disc;
    std::unique_ptr<SocketInTheWay> silentBus;
    std::unique_ptr<AccessibilityDesktop> desktop;
    std::unique_ptr<Process> spoofer;
};
} // namespace

TEST_P (HostileBus, NeitherFreezesNorMisdirectsTheMenu)
{
    auto s = start();
    ASSERT_TRUE (s.window.has_value());

    // Past the first frame, when the bridge looks for the buses, and through a few of the
    // launcher's signals: every click is still answered.
    std::this_thread::sleep_for (2s);
    for (int round = 0; round < 3; ++round)
        for (const int item : { 1, 0, 3 })
        {
            ASSERT_TRUE (s.openProductPage (item)) << "round " << round << ", " << items[item];
            ASSERT_TRUE (s.returnToMenu()) << "round " << round << ", " << items[item];
        }
    ASSERT_NO_FATAL_FAILURE (s.install (1));
    EXPECT_EQ (disc.runs (1), juce::StringArray ("run Tessaly.exe args=0"));

    EXPECT_FALSE (marker().exists()) << "a bus address ran a program";
    if (silentBus != nullptr)
    {
        EXPECT_GE (silentBus->connections(), 1) << "the menu never tried the bus; the case tests nothing";
    }
    if (GetParam() == Bus::spoofedStatus)
    {
        EXPECT_FALSE (isListed()) << "published on the word of someone other than the launcher";
    }

    s.closeAndExpectStatusZero();
    EXPECT_EQ (errors().loadFileAsString(), "");
}

INSTANTIATE_TEST_SUITE_P (Buses, HostileBus,
                          testing::Values (Bus::silentByAddress, Bus::silentInRuntimeFolder, Bus::silentLauncher, Bus::spoofedStatus,
                                           Bus::programAsSessionAddress, Bus::programAsAccessibilityAddress),
                          [] (const testing::TestParamInfo<Bus>& param)
                          { return std::string (nameOf (param.param)); });
