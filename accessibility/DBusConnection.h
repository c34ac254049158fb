#pragma once

// A connection to a bus, served on the program's message thread through the framework's
// Linux event loop, and never waiting there: it connects, registers, sends and calls without
// blocking, and every answer, or the error in its place, comes back later, from the loop.

#include "DBusMessage.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace DBus
{
/** A bus address that the program will connect to: the first of the address's entries
    that names a local socket by path or in the abstract namespace (unix:path=…,
    unix:abstract=…), with only a guid beside it. Empty when there is none: any other
    transport, such as unixexec, which would run a program, or tcp, is refused. */
std::string localSocketAddress (const std::string& address);

/** The answer to a method call: the reply, or why there is none (the error the other side
    sent, or no answer in time, or a bus that went away). */
struct Reply
{
    Message message;
    std::string error; // empty when the call succeeded

    bool succeeded() const { return error.empty() && static_cast<bool> (message); }
};

/** A private connection to one bus, served on the message thread. Nothing it does waits
    on the other side: a bus that accepts the connection and never answers costs the
    program nothing but the connection itself. */
class Connection
{
public:
    using Handler = std::function<DBusHandlerResult (const Message&)>;
    using ReplyHandler = std::function<void (const Reply&)>;

    /** How long a call waits for its answer, and how long the bus has to register us. */
    static constexpr int callTimeoutMs = 25000;

    /** Starts connecting to a local socket (see localSocketAddress); null when the address
        is refused or nothing listens there, in which case the library is not even loaded.
        The connection then registers with the bus in the background: whenRegistered is
        called from the message loop, true once the bus has named us, false when it refused
        or did not answer in time. Once it is false, the connection is of no more use. */
    static std::unique_ptr<Connection> open (const std::string& address, std::function<void (bool)> whenRegistered);
    ~Connection();

    Connection (const Connection&) = delete;
    Connection& operator= (const Connection&) = delete;

    /** Our name on the bus; empty until registered. */
    const std::string& uniqueName() const noexcept { return name; }
    bool isRegistered() const noexcept { return !name.empty(); }

    /** Sends a method call; its answer goes to the handler from the message loop, unless
        this connection has gone by then. */
    void call (const Message&, ReplyHandler, int timeoutMs = callTimeoutMs);

    /** Queues a message; it is written out as the bus takes it. */
    void send (const Message&);

    /** Method calls to every object path below the prefix, and the signals that match the rules. */
    bool serveObjects (const char* pathPrefix, Handler);
    void watchSignals (const std::vector<std::string>& matchRules, Handler);

    /** Called from the message loop when the bus closes the connection. */
    void whenLost (std::function<void()>);

private:
    explicit Connection (DBusConnection*);
    void registerWithBus (std::function<void (bool)>);

    // The socket's readiness and the library's timers, on the framework's event loop.
    void watchesChanged (int fd);
    void handleSocket (int fd);
    void addTimeout (DBusTimeout*);
    void removeTimeout (DBusTimeout*);

    void dispatchSoon();
    void dispatch();
    DBusHandlerResult filter (const Message&);

    class Timeout;
    struct PendingCall;

    DBusConnection* connection;
    std::string name;
    Handler objects, signals;
    std::function<void()> lost;
    std::map<int, std::vector<DBusWatch*>> watches;
    std::map<int, short> registeredEvents;
    std::map<DBusTimeout*, std::unique_ptr<Timeout>> timeouts;
    std::vector<std::unique_ptr<Timeout>> finishedTimeouts;
    std::set<DBusPendingCall*> pendingCalls;
    bool dispatchQueued = false;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
};
} // namespace DBus
