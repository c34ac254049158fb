#include "DBusConnection.h"

// The framework's Linux event loop, which can watch a file descriptor, and its timers.
#include <juce_events/juce_events.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace DBus
{
namespace
{
    constexpr const char* busName = "org.freedesktop.DBus";
    constexpr const char* busPath = "/org/freedesktop/DBus";
    constexpr const char* localInterface = "org.freedesktop.DBus.Local";

    const Library& lib()
    {
        return library();
    }

    /** The libdbus error of one call, freed when it goes. */
    struct Error
    {
        Error() { lib().dbus_error_init (&error); }
        ~Error() { lib().dbus_error_free (&error); }
        DBusError error;
    };

    //==========================================================================
    // Addresses: "transport:key=value,key=value;transport:…", values %-escaped.

    std::vector<std::string> split (const std::string& text, char separator)
    {
        std::vector<std::string> parts;
        for (size_t start = 0;;)
        {
            const auto end = text.find (separator, start);
            parts.push_back (text.substr (start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                return parts;
            start = end + 1;
        }
    }

    int hexDigit (char c)
    {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                            : c >= 'A' && c <= 'F'   ? c - 'A' + 10
                                                                     : -1;
    }

    /** An address value with its %-escapes undone; false where one is broken. */
    bool unescape (const std::string& value, std::string& bytes)
    {
        bytes.clear();
        for (size_t i = 0; i < value.size(); ++i)
        {
            if (value[i] != '%')
            {
                bytes += value[i];
                continue;
            }
            if (i + 2 >= value.size() || hexDigit (value[i + 1]) < 0 || hexDigit (value[i + 2]) < 0)
                return false;
            bytes += static_cast<char> (hexDigit (value[i + 1]) * 16 + hexDigit (value[i + 2]));
            i += 2;
        }
        return bytes.find ('\0') == std::string::npos;
    }

    /** The socket an entry names: its path, or its abstract name after a zero byte. */
    struct LocalSocket
    {
        std::string name;
        bool abstract = false;
    };

    bool parseLocalEntry (const std::string& entry, LocalSocket& socket)
    {
        constexpr const char* transport = "unix:";
        if (entry.rfind (transport, 0) != 0)
            return false;

        bool named = false;
        for (const auto& pair : split (entry.substr (std::strlen (transport)), ','))
        {
            const auto equals = pair.find ('=');
            if (equals == std::string::npos)
                return false;
            const auto key = pair.substr (0, equals);
            std::string value;
            if (!unescape (pair.substr (equals + 1), value) || value.empty())
                return false;
            if (key == "guid")
                continue;
            if ((key != "path" && key != "abstract") || named)
                return false;
            named = true;
            socket.name = value;
            socket.abstract = key == "abstract";
        }
        return named && socket.name.size() < sizeof (sockaddr_un::sun_path) - 1;
    }

    /** Whether something listens on the socket and takes a connection at once. The library
        connects with a call that would wait on a listener whose queue is full; this one
        never waits. */
    bool isListening (const LocalSocket& target)
    {
        const auto fd = socket (AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const auto offset = target.abstract ? 1u : 0u;
        std::memcpy (address.sun_path + offset, target.name.data(), target.name.size());
        const auto length = static_cast<socklen_t> (offsetof (sockaddr_un, sun_path) + offset + target.name.size() + (target.abstract ? 0 : 1));
        const bool connected = connect (fd, reinterpret_cast<const sockaddr*> (&address), length) == 0;
        close (fd);
        return connected;
    }
} // namespace

std::string localSocketAddress (const std::string& address)
{
    for (const auto& entry : split (address, ';'))
    {
        LocalSocket socket;
        if (parseLocalEntry (entry, socket))
            return entry;
    }
    return {};
}

//==============================================================================
/** One of the library's timers (a call's time limit) on the framework's timer thread,
    which calls back on the message thread. */
class Connection::Timeout : public juce::Timer
{
public:
    Timeout (Connection& c, DBusTimeout* t)
        : owner (c)
        , timeout (t)
    {
        update();
    }

    void update()
    {
        if (lib().dbus_timeout_get_enabled (timeout))
            startTimer (juce::jmax (1, lib().dbus_timeout_get_interval (timeout)));
        else
            stopTimer();
    }

    void timerCallback() override
    {
        lib().dbus_timeout_handle (timeout);
        owner.dispatchSoon();
    }

private:
    Connection& owner;
    DBusTimeout* timeout;
};

/** What a call's answer goes to, until the library lets go of the call. */
struct Connection::PendingCall
{
    Connection& owner;
    ReplyHandler handler;

    static void completed (DBusPendingCall* pending, void* data)
    {
        auto& self = *static_cast<PendingCall*> (data);
        auto reply = std::make_shared<Reply>();
        reply->message = Message (lib().dbus_pending_call_steal_reply (pending));
        if (!reply->message)
            reply->error = "no answer";
        else if (reply->message.isError())
            reply->error = reply->message.errorName();

        auto& owner = self.owner;
        owner.pendingCalls.erase (pending);
        lib().dbus_pending_call_unref (pending);

        // From the message loop, never inside the library's own calls.
        juce::MessageManager::callAsync ([handler = std::move (self.handler), reply, stillAlive = owner.alive]
                                         {
                                             if (*stillAlive && handler)
                                                 handler (*reply); });
    }

    static void release (void* data)
    {
        delete static_cast<PendingCall*> (data);
    }
};

namespace
{
    constexpr unsigned readable = DBUS_WATCH_READABLE, writable = DBUS_WATCH_WRITABLE;
} // namespace

std::unique_ptr<Connection> Connection::open (const std::string& address, std::function<void (bool)> whenRegistered)
{
    // Without a bus the library is not even loaded: it and the libraries it needs would
    // cost the program a megabyte of memory for nothing.
    const auto local = localSocketAddress (address);
    LocalSocket socket;
    if (local.empty() || !parseLocalEntry (local, socket) || !isListening (socket) || Library::get() == nullptr)
        return nullptr;

    Error error;
    auto* opened = lib().dbus_connection_open_private (local.c_str(), &error.error);
    if (opened == nullptr)
        return nullptr;
    lib().dbus_connection_set_exit_on_disconnect (opened, false);

    std::unique_ptr<Connection> connection (new Connection (opened));
    connection->registerWithBus (std::move (whenRegistered));
    return connection;
}

Connection::Connection (DBusConnection* opened)
    : connection (opened)
{
    auto& dbus = lib();
    dbus.dbus_connection_set_watch_functions (
        connection,
        [] (DBusWatch* watch, void* data) -> dbus_bool_t
        {
            auto& self = *static_cast<Connection*> (data);
            const auto fd = lib().dbus_watch_get_unix_fd (watch);
            self.watches[fd].push_back (watch);
            self.watchesChanged (fd);
            return true;
        },
        [] (DBusWatch* watch, void* data)
        {
            auto& self = *static_cast<Connection*> (data);
            const auto fd = lib().dbus_watch_get_unix_fd (watch);
            auto& list = self.watches[fd];
            list.erase (std::remove (list.begin(), list.end(), watch), list.end());
            if (list.empty())
                self.watches.erase (fd);
            self.watchesChanged (fd);
        },
        [] (DBusWatch* watch, void* data)
        { static_cast<Connection*> (data)->watchesChanged (lib().dbus_watch_get_unix_fd (watch)); },
        this,
        nullptr);

    dbus.dbus_connection_set_timeout_functions (
        connection,
        [] (DBusTimeout* timeout, void* data) -> dbus_bool_t
        {
            static_cast<Connection*> (data)->addTimeout (timeout);
            return true;
        },
        [] (DBusTimeout* timeout, void* data)
        { static_cast<Connection*> (data)->removeTimeout (timeout); },
        [] (DBusTimeout* timeout, void* data)
        {
            auto& self = *static_cast<Connection*> (data);
            if (const auto found = self.timeouts.find (timeout); found != self.timeouts.end())
                found->second->update();
        },
        this,
        nullptr);

    dbus.dbus_connection_set_dispatch_status_function (
        connection, [] (DBusConnection*, DBusDispatchStatus status, void* data)
        {
            if (status == DBUS_DISPATCH_DATA_REMAINS)
                static_cast<Connection*> (data)->dispatchSoon(); },
        this, nullptr);

    dbus.dbus_connection_add_filter (
        connection, [] (DBusConnection*, DBusMessage* message, void* data)
        { return static_cast<Connection*> (data)->filter (Message (lib().dbus_message_ref (message))); },
        this, nullptr);
    dispatchSoon();
}

Connection::~Connection()
{
    *alive = false;
    auto& dbus = lib();
    for (auto* pending : pendingCalls)
    {
        dbus.dbus_pending_call_cancel (pending);
        dbus.dbus_pending_call_unref (pending);
    }
    pendingCalls.clear();

    // Clearing the functions takes every watch and timer off the framework's loop.
    dbus.dbus_connection_set_watch_functions (connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus.dbus_connection_set_timeout_functions (connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus.dbus_connection_set_dispatch_status_function (connection, nullptr, nullptr, nullptr);
    for (const auto& [fd, events] : registeredEvents)
        juce::LinuxEventLoop::unregisterFdCallback (fd);
    dbus.dbus_connection_close (connection);
    dbus.dbus_connection_unref (connection);
}

void Connection::registerWithBus (std::function<void (bool)> whenRegistered)
{
    call (Message::methodCall (busName, busPath, busName, "Hello"), [this, whenRegistered = std::move (whenRegistered)] (const Reply& reply)
          {
              const auto given = reply.succeeded() ? Reader (reply.message).string() : std::string();
              if (!given.empty() && lib().dbus_bus_set_unique_name (connection, given.c_str()))
                  name = given;
              if (whenRegistered)
                  whenRegistered (isRegistered()); });
}

//==============================================================================
// The socket is watched for what the library waits for at the moment: to read always, to
// write only while it has something queued. A bus that takes nothing never wakes the loop.

void Connection::watchesChanged (int fd)
{
    short events = 0;
    if (const auto found = watches.find (fd); found != watches.end())
        for (auto* watch : found->second)
            if (lib().dbus_watch_get_enabled (watch))
            {
                const auto flags = lib().dbus_watch_get_flags (watch);
                events = static_cast<short> (events | ((flags & readable) != 0 ? POLLIN : 0) | ((flags & writable) != 0 ? POLLOUT : 0));
            }

    const auto registered = registeredEvents.find (fd);
    const short current = registered != registeredEvents.end() ? registered->second : 0;
    if (events == current)
        return;

    if (current != 0)
    {
        juce::LinuxEventLoop::unregisterFdCallback (fd);
        registeredEvents.erase (fd);
    }
    if (events != 0)
    {
        juce::LinuxEventLoop::registerFdCallback (
            fd, [this, stillAlive = alive] (int ready)
            {
                                                      if (*stillAlive)
                                                          handleSocket (ready); },
            events);
        registeredEvents[fd] = events;
    }
}

void Connection::handleSocket (int fd)
{
    const auto registered = registeredEvents.find (fd);
    if (registered == registeredEvents.end())
        return;
    pollfd ready{ fd, registered->second, 0 };
    if (poll (&ready, 1, 0) <= 0)
        return;

    // Handling one watch may add or remove the others.
    const auto found = watches.find (fd);
    const auto list = found != watches.end() ? found->second : std::vector<DBusWatch*>();
    for (auto* watch : list)
    {
        const auto now = watches.find (fd);
        if (now == watches.end() || std::find (now->second.begin(), now->second.end(), watch) == now->second.end() || !lib().dbus_watch_get_enabled (watch))
            continue;

        const auto flags = lib().dbus_watch_get_flags (watch);
        unsigned condition = 0;
        if ((ready.revents & POLLIN) != 0 && (flags & readable) != 0)
            condition |= readable;
        if ((ready.revents & POLLOUT) != 0 && (flags & writable) != 0)
            condition |= writable;
        if ((ready.revents & POLLHUP) != 0)
            condition |= DBUS_WATCH_HANGUP;
        if ((ready.revents & (POLLERR | POLLNVAL)) != 0)
            condition |= DBUS_WATCH_ERROR;
        if (condition != 0)
            lib().dbus_watch_handle (watch, condition);
    }
    dispatchSoon();
}

void Connection::addTimeout (DBusTimeout* timeout)
{
    timeouts[timeout] = std::make_unique<Timeout> (*this, timeout);
}

// The timer may be the one calling back right now, so it goes only later, from the loop.
void Connection::removeTimeout (DBusTimeout* timeout)
{
    if (const auto found = timeouts.find (timeout); found != timeouts.end())
    {
        found->second->stopTimer();
        finishedTimeouts.push_back (std::move (found->second));
        timeouts.erase (found);
        dispatchSoon();
    }
}

// Messages are handled from the message loop, never inside libdbus's own calls.
void Connection::dispatchSoon()
{
    if (std::exchange (dispatchQueued, true))
        return;
    juce::MessageManager::callAsync ([this, stillAlive = alive]
                                     {
                                         if (*stillAlive)
                                             dispatch(); });
}

void Connection::dispatch()
{
    dispatchQueued = false;
    finishedTimeouts.clear();
    while (lib().dbus_connection_dispatch (connection) == DBUS_DISPATCH_DATA_REMAINS)
    {
    }
}

DBusHandlerResult Connection::filter (const Message& message)
{
    if (message.isSignal() && message.interface() == localInterface && message.member() == "Disconnected")
    {
        // A copy runs: what it does may well delete this connection.
        juce::MessageManager::callAsync ([this, stillAlive = alive]
                                         {
                                             if (!*stillAlive || !lost)
                                                 return;
                                             const auto handler = lost;
                                             handler(); });
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    if (message.isSignal() && signals)
        return signals (message);
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

//==============================================================================
void Connection::call (const Message& message, ReplyHandler handler, int timeoutMs)
{
    DBusPendingCall* pending = nullptr;
    if (!message || !lib().dbus_connection_send_with_reply (connection, message.get(), &pending, timeoutMs) || pending == nullptr)
    {
        juce::MessageManager::callAsync ([handler = std::move (handler), stillAlive = alive]
                                         {
                                             if (*stillAlive && handler)
                                                 handler (Reply{ Message(), "not sent: the bus has gone" }); });
        return;
    }

    pendingCalls.insert (pending);
    lib().dbus_pending_call_set_notify (pending, &PendingCall::completed, new PendingCall{ *this, std::move (handler) }, &PendingCall::release);
}

void Connection::send (const Message& message)
{
    if (message)
        lib().dbus_connection_send (connection, message.get(), nullptr);
}

bool Connection::serveObjects (const char* pathPrefix, Handler handler)
{
    objects = std::move (handler);
    static const DBusObjectPathVTable table{ nullptr, [] (DBusConnection*, DBusMessage* message, void* data)
                                             { return static_cast<Connection*> (data)->objects (Message (lib().dbus_message_ref (message))); },
                                             nullptr, nullptr, nullptr, nullptr };
    return lib().dbus_connection_register_fallback (connection, pathPrefix, &table, this);
}

void Connection::watchSignals (const std::vector<std::string>& matchRules, Handler handler)
{
    signals = std::move (handler);
    // Without an error to fill in, adding a rule sends it and waits for nothing.
    for (const auto& rule : matchRules)
        lib().dbus_bus_add_match (connection, rule.c_str(), nullptr);
}

void Connection::whenLost (std::function<void()> handler)
{
    lost = std::move (handler);
}
} // namespace DBus
