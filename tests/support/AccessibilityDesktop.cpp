#include "AccessibilityDesktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>

namespace support
{
class AccessibilityDesktop::Terminal
{
public:
    Terminal()
        : master (posix_openpt (O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        if (master < 0 || grantpt (master) != 0 || unlockpt (master) != 0)
            return;
        name = ptsname (master);
        // Held open while the reader runs, and raw: the text arrives as written.
        slave = open (name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        if (slave >= 0 && tcgetattr (slave, &raw) == 0)
        {
            cfmakeraw (&raw);
            tcsetattr (slave, TCSANOW, &raw);
        }
        reader = std::thread ([this]
                              {
                                  char buffer[4096];
                                  for (ssize_t got; (got = read (master, buffer, sizeof (buffer))) > 0;)
                                  {
                                      const std::lock_guard<std::mutex> lock (guard);
                                      text.append (buffer, static_cast<size_t> (got));
                                  } });
    }

    ~Terminal()
    {
        // Once no one holds the terminal's other end, reading it ends.
        if (slave >= 0)
            close (slave);
        if (reader.joinable())
            reader.join();
        if (master >= 0)
            close (master);
    }

    std::string path() const { return name; }

    std::string written() const
    {
        const std::lock_guard<std::mutex> lock (guard);
        return text;
    }

private:
    int master = -1, slave = -1;
    std::string name, text;
    mutable std::mutex guard;
    std::thread reader;
};

namespace
{
    constexpr const char* busLauncherProgram = "/usr/libexec/at-spi-bus-launcher";
    constexpr const char* python = "/usr/bin/python3"; // the system's, which has pyatspi
} // namespace

AccessibilityDesktop::AccessibilityDesktop (const XServer& server, Launcher launcher)
    : x (server)
{
    base = juce::File::createTempFile ("brelvan-a11y");
    base.getChildFile ("home").createDirectory();
    base.getChildFile ("run").createDirectory();
    chmod (base.getChildFile ("run").getFullPathName().toRawUTF8(), 0700);

    const auto socket = sessionBusSocket();
    address = "unix:path=" + socket.getFullPathName().toStdString();
    // The services the bus starts on demand (the settings store, a bus launcher asked for
    // before ours owns its name) take the desktop's home, not the user's: a user whose
    // settings turn accessibility on must not turn it on here before Orca starts.
    sessionBus = std::make_unique<Process> (x, "dbus-daemon", std::vector<std::string>{ "--session", "--nofork", "--address=" + address },
                                            std::string(), environment());
    if (!eventually ([&]
                     { return socket.exists(); }))
    {
        whyNot = "no session bus (dbus-daemon): " + sessionBus->state();
        return;
    }

    if (launcher == Launcher::none)
        return;
    busLauncher = std::make_unique<Process> (x, busLauncherProgram, std::vector<std::string>{ "--launch-immediately" }, std::string(), environment());
    if (!eventually ([&]
                     { return sessionCall ({ "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress" }); }))
        whyNot = std::string ("no accessibility bus (") + busLauncherProgram + "): " + busLauncher->state();
}

AccessibilityDesktop::~AccessibilityDesktop()
{
    screenReader.reset();
    debugFile.reset();
    busLauncher.reset();
    sessionBus.reset();
    base.deleteRecursively();
}

std::map<std::string, std::string> AccessibilityDesktop::environment() const
{
    return { { "DBUS_SESSION_BUS_ADDRESS", address },
             { "HOME", base.getChildFile ("home").getFullPathName().toStdString() },
             { "XDG_RUNTIME_DIR", base.getChildFile ("run").getFullPathName().toStdString() } };
}

std::vector<std::string> AccessibilityDesktop::environmentList() const
{
    std::vector<std::string> list{ "PATH=/usr/bin:/bin", "DISPLAY=" + x.displayName() };
    for (const auto& [key, value] : environment())
        list.push_back (key + "=" + value);
    return list;
}

bool AccessibilityDesktop::sessionCall (const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command{ "dbus-send", "--session", "--print-reply" };
    command.insert (command.end(), arguments.begin(), arguments.end());
    return runToEnd (command, environmentList(), 5s).status == std::optional<int> (0);
}

bool AccessibilityDesktop::hasOwner (const std::string& name) const
{
    return sessionCall ({ "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner", "string:" + name });
}

bool AccessibilityDesktop::setAssistiveTechnology (bool on) const
{
    return sessionCall ({ "--dest=org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                          "string:IsEnabled", std::string ("variant:boolean:") + (on ? "true" : "false") });
}

bool AccessibilityDesktop::startScreenReader()
{
    // Without speech: what Orca would say still goes to its debug file, and no speech
    // server is started.
    debugFile = std::make_unique<Terminal>();
    const auto preferences = base.getChildFile ("orca").getFullPathName().toStdString();
    screenReader = std::make_unique<Process> (x, "orca", std::vector<std::string>{ "--replace", "-u", preferences, "-d", "speech", "--debug-file=" + debugFile->path() },
                                              std::string(), environment());
    // Orca shows "Screen reader on." on the braille display once it runs.
    return eventually ([&]
                       { return debugOutput().find ("'Screen reader on.'") != std::string::npos; },
                       20s);
}

std::string AccessibilityDesktop::debugOutput() const
{
    return debugFile != nullptr ? debugFile->written() : std::string();
}

juce::StringArray AccessibilityDesktop::spoken() const
{
    // 11:26:06.181187 - SPEECH OUTPUT: 'Install Marrowby push button.'{'established': False}
    juce::StringArray lines;
    for (const auto& line : juce::StringArray::fromLines (juce::String (debugOutput())))
        if (line.contains ("SPEECH OUTPUT: '"))
            lines.add (line.fromFirstOccurrenceOf ("SPEECH OUTPUT: '", false, false).upToLastOccurrenceOf ("'{", false, false));
    return lines;
}

juce::StringArray AccessibilityDesktop::spokenSince (int count, const juce::String& waitFor, std::chrono::milliseconds timeout) const
{
    juce::StringArray lines;
    eventually ([&]
                {
                    lines = spoken();
                    lines.removeRange (0, count);
                    return lines.contains (waitFor); },
                timeout);
    return lines;
}

std::unique_ptr<Process> AccessibilityDesktop::start (const std::string& executable, const std::vector<std::string>& arguments) const
{
    return std::make_unique<Process> (x, executable, arguments, std::string(), environment());
}

Ending AccessibilityDesktop::client (const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command{ python, BRELVAN_ATSPI_CLIENT };
    command.insert (command.end(), arguments.begin(), arguments.end());
    return runToEnd (command, environmentList(), 20s);
}

std::unique_ptr<Process> AccessibilityDesktop::clientInBackground (const std::vector<std::string>& arguments) const
{
    std::vector<std::string> args{ BRELVAN_ATSPI_CLIENT };
    args.insert (args.end(), arguments.begin(), arguments.end());
    return std::make_unique<Process> (x, python, args, std::string(), environment());
}
} // namespace support
