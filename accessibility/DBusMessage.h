#pragma once

// D-Bus messages as the bridge reads and writes them: a message it owns, a writer that
// appends arguments and a reader that takes them in turn.

#include "DBusLibrary.h"

#include <functional>
#include <string>

namespace DBus
{
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
} // namespace DBus
