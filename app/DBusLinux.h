#pragma once

// The system's D-Bus library (libdbus-1), loaded when first needed rather than linked, so
// that the program still needs nothing beyond glibc, FreeType and X11 and starts where the
// library is missing. A connection is served on the program's message thread, through the
// framework's Linux event loop, and never waits there: it connects, registers, sends and
// calls without blocking, and every answer comes back later, from the loop.

#include <dbus/dbus.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace DBus
{
/** The library's functions, or null where it is not installed. */
struct Library
{
#define BRELVAN_DBUS_FUNCTION(name) decltype (&::name) name = nullptr;
#include "DBusFunctionsLinux.inc"
#undef BRELVAN_DBUS_FUNCTION

    static const Library* get();
};

/** A bus address that the program will connect to: the first of the address's entries
    that names a local socket by path or in the abstract namespace (unix:path=…,
    unix:abstract=…), with only a guid beside it. Empty when there is none: any other
    transport, such as unixexec, which would run a program, or tcp, is refused. */
std::string localSocketAddress (const std::string& address);

/** Owns one reference to a message. */
class Message
{
public:
    Message() = default;
    explicit Message (DBusMessage* adopted) noexcept;
    Message (Message&&) noexcept;
    Message& operator= (Message&&) noexcept;
    ~Message();

    DBusMessage* get() const noexcept { return message; }
    explicit operator bool() const noexcept { return message != nullptr; }

    /** A call that starts the service where it does not run yet only when asked to. */
    static Message methodCall (const char* service, const char* path, const char* interface, const char* method,
                               bool mayStartService = false);
    static Message signal (const char* path, const char* interface, const char* member);
    static Message replyTo (const Message& call);
    static Message errorFor (const Message& call, const char* name, const char* text);

    bool isMethodCall() const;
    bool isSignal() const;
    bool isError() const;
    bool wantsReply() const;
    /** Empty where the message has none. */
    std::string sender() const;
    std::string path() const;
    std::string interface() const;
    std::string member() const;
    std::string errorName() const;

private:
    std::string text (const char* (*accessor) (DBusMessage*) ) const;

    DBusMessage* message = nullptr;
};

/** Appends arguments to a message, or to a container within one. */
class Writer
{
public:
    explicit Writer (const Message&);

    Writer& string (const std::string&);
    Writer& objectPath (const std::string&);
    Writer& boolean (bool);
    Writer& int32 (int);
    Writer& uint32 (unsigned);
    Writer& int16 (short);
    Writer& float64 (double);

    /** A container: its contents are written to the writer handed to the function. */
    Writer& structure (const std::function<void (Writer&)>&);
    Writer& array (const char* elementSignature, const std::function<void (Writer&)>&);
    Writer& variant (const char* signature, const std::function<void (Writer&)>&);
    Writer& dictEntry (const std::function<void (Writer&)>&);

    /** A reference to an accessible object: its bus name and object path, "(so)". */
    Writer& reference (const std::string& busName, const std::string& path);

private:
    explicit Writer (DBusMessageIter& within);
    Writer& basic (int type, const void* value);
    Writer& container (int type, const char* signature, const std::function<void (Writer&)>&);

    DBusMessageIter iter;
};

/** Reads the arguments of a message in turn; a value of another type reads as empty. */
class Reader
{
public:
    explicit Reader (const Message&);

    std::string string();
    int int32();
    unsigned uint32();
    bool boolean();
    /** Steps into a variant or container; the reader then reads its contents. */
    Reader recurse();
    int type() const;
    bool atEnd() const { return type() == DBUS_TYPE_INVALID; }

private:
    Reader() = default;
    void next();

    /** The current value where it is of the given basic type, else the given default; steps on. */
    template <typename Value>
    Value basic (int dbusType, Value otherwise);
    DBusMessageIter iter{};
    bool valid = false;
};

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
