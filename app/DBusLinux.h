#pragma once

// The system's D-Bus library (libdbus-1), loaded when first needed rather than linked, so
// that the program still needs nothing beyond glibc, FreeType and X11 and starts where the
// library is missing. A connection is served on the program's message thread, through the
// framework's Linux event loop.

#include <dbus/dbus.h>

#include <functional>
#include <memory>
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
    static Message replyTo (DBusMessage* call);
    static Message errorFor (DBusMessage* call, const char* name, const char* text);

private:
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
    explicit Reader (DBusMessage*);

    std::string string();
    int int32();
    unsigned uint32();
    bool boolean();
    /** Steps into a variant or container; the reader then reads its contents. */
    Reader recurse();
    int type() const;

private:
    Reader() = default;
    void next();

    /** The current value where it is of the given basic type, else the given default; steps on. */
    template <typename Value>
    Value basic (int dbusType, Value otherwise);
    DBusMessageIter iter{};
    bool valid = false;
};

/** A private connection to one bus, served on the message thread. */
class Connection
{
public:
    using Handler = std::function<DBusHandlerResult (DBusMessage*)>;

    /** Connects and registers with the bus; null when that fails. */
    static std::unique_ptr<Connection> open (const std::string& address);
    ~Connection();

    const std::string& uniqueName() const noexcept { return name; }

    /** A method call that waits for the answer; an empty message on error or timeout. */
    Message call (const Message&, int timeoutMs = 1000);
    void send (const Message&);

    /** Method calls to every object path below the prefix, and the signals that match the rules. */
    bool serveObjects (const char* pathPrefix, Handler);
    void watchSignals (const std::vector<std::string>& matchRules, Handler);

private:
    explicit Connection (DBusConnection*);
    void dispatchSoon();
    void dispatch();

    DBusConnection* connection;
    std::string name;
    Handler objects, signals;
    bool dispatchQueued = false;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
};
} // namespace DBus
