#include "DBusLinux.h"

// The framework's Linux event loop, which can watch a file descriptor.
#include <juce_events/juce_events.h>

#include <dlfcn.h>

namespace DBus
{
namespace
{
    constexpr const char* libraryName = "libdbus-1.so.3";

    /** Every function, or none: a library without one of them is taken for absent. */
    Library load()
    {
        Library functions;
        void* handle = dlopen (libraryName, RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr)
            return functions;

        bool complete = true;
#define BRELVAN_DBUS_FUNCTION(name)                                                \
    functions.name = reinterpret_cast<decltype (&::name)> (dlsym (handle, #name)); \
    complete = complete && functions.name != nullptr;
#include "DBusFunctionsLinux.inc"
#undef BRELVAN_DBUS_FUNCTION

        if (!complete)
            functions = Library();
        return functions;
    }

    const Library& lib()
    {
        return *Library::get();
    }

    /** The libdbus error of one call, freed when it goes. */
    struct Error
    {
        Error() { lib().dbus_error_init (&error); }
        ~Error() { lib().dbus_error_free (&error); }
        DBusError error;
    };
} // namespace

const Library* Library::get()
{
    static const Library functions = load();
    return functions.dbus_error_init != nullptr ? &functions : nullptr;
}

//==============================================================================
Message::Message (DBusMessage* adopted) noexcept
    : message (adopted)
{
}

Message::Message (Message&& other) noexcept
    : message (std::exchange (other.message, nullptr))
{
}

Message& Message::operator= (Message&& other) noexcept
{
    std::swap (message, other.message);
    return *this;
}

Message::~Message()
{
    if (message != nullptr)
        lib().dbus_message_unref (message);
}

Message Message::methodCall (const char* service, const char* path, const char* interface, const char* method, bool mayStartService)
{
    Message call (lib().dbus_message_new_method_call (service, path, interface, method));
    if (call)
        lib().dbus_message_set_auto_start (call.get(), mayStartService);
    return call;
}

Message Message::signal (const char* path, const char* interface, const char* member)
{
    return Message (lib().dbus_message_new_signal (path, interface, member));
}

Message Message::replyTo (DBusMessage* call)
{
    return Message (lib().dbus_message_new_method_return (call));
}

Message Message::errorFor (DBusMessage* call, const char* name, const char* text)
{
    return Message (lib().dbus_message_new_error (call, name, text));
}

//==============================================================================
Writer::Writer (const Message& message)
{
    lib().dbus_message_iter_init_append (message.get(), &iter);
}

Writer::Writer (DBusMessageIter& within)
    : iter (within)
{
}

Writer& Writer::basic (int type, const void* value)
{
    lib().dbus_message_iter_append_basic (&iter, type, value);
    return *this;
}

Writer& Writer::string (const std::string& text)
{
    const char* chars = text.c_str();
    return basic (DBUS_TYPE_STRING, &chars);
}

Writer& Writer::objectPath (const std::string& path)
{
    const char* chars = path.c_str();
    return basic (DBUS_TYPE_OBJECT_PATH, &chars);
}

Writer& Writer::boolean (bool value)
{
    const dbus_bool_t b = value ? 1 : 0;
    return basic (DBUS_TYPE_BOOLEAN, &b);
}

Writer& Writer::int32 (int value)
{
    const dbus_int32_t v = value;
    return basic (DBUS_TYPE_INT32, &v);
}

Writer& Writer::uint32 (unsigned value)
{
    const dbus_uint32_t v = value;
    return basic (DBUS_TYPE_UINT32, &v);
}

Writer& Writer::int16 (short value)
{
    const dbus_int16_t v = value;
    return basic (DBUS_TYPE_INT16, &v);
}

Writer& Writer::float64 (double value)
{
    return basic (DBUS_TYPE_DOUBLE, &value);
}

Writer& Writer::container (int type, const char* signature, const std::function<void (Writer&)>& contents)
{
    DBusMessageIter inner;
    lib().dbus_message_iter_open_container (&iter, type, signature, &inner);
    Writer within (inner);
    contents (within);
    lib().dbus_message_iter_close_container (&iter, &within.iter);
    return *this;
}

Writer& Writer::structure (const std::function<void (Writer&)>& contents)
{
    return container (DBUS_TYPE_STRUCT, nullptr, contents);
}

Writer& Writer::array (const char* elementSignature, const std::function<void (Writer&)>& contents)
{
    return container (DBUS_TYPE_ARRAY, elementSignature, contents);
}

Writer& Writer::variant (const char* signature, const std::function<void (Writer&)>& contents)
{
    return container (DBUS_TYPE_VARIANT, signature, contents);
}

Writer& Writer::dictEntry (const std::function<void (Writer&)>& contents)
{
    return container (DBUS_TYPE_DICT_ENTRY, nullptr, contents);
}

Writer& Writer::reference (const std::string& busName, const std::string& path)
{
    return structure ([&] (Writer& w)
                      { w.string (busName).objectPath (path); });
}

//==============================================================================
Reader::Reader (DBusMessage* message)
    : valid (message != nullptr && lib().dbus_message_iter_init (message, &iter))
{
}

int Reader::type() const
{
    return valid ? lib().dbus_message_iter_get_arg_type (const_cast<DBusMessageIter*> (&iter)) : DBUS_TYPE_INVALID;
}

void Reader::next()
{
    valid = valid && lib().dbus_message_iter_next (&iter);
}

std::string Reader::string()
{
    std::string value;
    if (type() == DBUS_TYPE_STRING || type() == DBUS_TYPE_OBJECT_PATH)
    {
        const char* chars = nullptr;
        lib().dbus_message_iter_get_basic (&iter, &chars);
        value = chars != nullptr ? chars : "";
    }
    next();
    return value;
}

template <typename Value>
Value Reader::basic (int dbusType, Value value)
{
    if (type() == dbusType)
        lib().dbus_message_iter_get_basic (&iter, &value);
    next();
    return value;
}

int Reader::int32()
{
    return basic<dbus_int32_t> (DBUS_TYPE_INT32, 0);
}

unsigned Reader::uint32()
{
    return basic<dbus_uint32_t> (DBUS_TYPE_UINT32, 0);
}

bool Reader::boolean()
{
    return basic<dbus_bool_t> (DBUS_TYPE_BOOLEAN, 0) != 0;
}

Reader Reader::recurse()
{
    Reader inner;
    const auto t = type();
    if (t == DBUS_TYPE_VARIANT || t == DBUS_TYPE_STRUCT || t == DBUS_TYPE_ARRAY || t == DBUS_TYPE_DICT_ENTRY)
    {
        lib().dbus_message_iter_recurse (&iter, &inner.iter);
        inner.valid = true;
    }
    next();
    return inner;
}

//==============================================================================
std::unique_ptr<Connection> Connection::open (const std::string& address)
{
    // Without a bus the library is not even loaded: it and the libraries it needs would
    // cost the program a megabyte of memory for nothing.
    if (address.empty() || Library::get() == nullptr)
        return nullptr;

    Error error;
    auto* connection = lib().dbus_connection_open_private (address.c_str(), &error.error);
    if (connection == nullptr)
        return nullptr;
    lib().dbus_connection_set_exit_on_disconnect (connection, false);
    if (!lib().dbus_bus_register (connection, &error.error))
    {
        lib().dbus_connection_close (connection);
        lib().dbus_connection_unref (connection);
        return nullptr;
    }
    return std::unique_ptr<Connection> (new Connection (connection));
}

namespace
{
    // The bus's socket is read on the message thread; writes are flushed as they are sent.
    dbus_bool_t addWatch (DBusWatch* watch, void*)
    {
        auto& functions = lib();
        if ((functions.dbus_watch_get_flags (watch) & DBUS_WATCH_READABLE) == 0 || !functions.dbus_watch_get_enabled (watch))
            return true;

        const auto fd = functions.dbus_watch_get_unix_fd (watch);
        juce::LinuxEventLoop::registerFdCallback (fd, [watch] (int)
                                                  { lib().dbus_watch_handle (watch, DBUS_WATCH_READABLE); });
        return true;
    }

    void removeWatch (DBusWatch* watch, void*)
    {
        if ((lib().dbus_watch_get_flags (watch) & DBUS_WATCH_READABLE) != 0)
            juce::LinuxEventLoop::unregisterFdCallback (lib().dbus_watch_get_unix_fd (watch));
    }

    void toggleWatch (DBusWatch* watch, void*)
    {
        removeWatch (watch, nullptr);
        addWatch (watch, nullptr);
    }
} // namespace

Connection::Connection (DBusConnection* opened)
    : connection (opened)
    , name (lib().dbus_bus_get_unique_name (opened))
{
    lib().dbus_connection_set_watch_functions (connection, addWatch, removeWatch, toggleWatch, this, nullptr);
    lib().dbus_connection_set_dispatch_status_function (
        connection, [] (DBusConnection*, DBusDispatchStatus status, void* data)
        {
            if (status == DBUS_DISPATCH_DATA_REMAINS)
                static_cast<Connection*> (data)->dispatchSoon(); },
        this, nullptr);
    dispatchSoon();
}

Connection::~Connection()
{
    *alive = false;
    lib().dbus_connection_set_watch_functions (connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    lib().dbus_connection_set_dispatch_status_function (connection, nullptr, nullptr, nullptr);
    lib().dbus_connection_close (connection);
    lib().dbus_connection_unref (connection);
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
    while (lib().dbus_connection_dispatch (connection) == DBUS_DISPATCH_DATA_REMAINS)
    {
    }
}

Message Connection::call (const Message& message, int timeoutMs)
{
    if (!message)
        return {};
    Error error;
    Message reply (lib().dbus_connection_send_with_reply_and_block (connection, message.get(), timeoutMs, &error.error));
    // What arrived meanwhile waits in the queue; the socket will not say so again.
    dispatchSoon();
    return reply;
}

void Connection::send (const Message& message)
{
    if (!message)
        return;
    lib().dbus_connection_send (connection, message.get(), nullptr);
    lib().dbus_connection_flush (connection);
}

bool Connection::serveObjects (const char* pathPrefix, Handler handler)
{
    objects = std::move (handler);
    static const DBusObjectPathVTable table{ nullptr, [] (DBusConnection*, DBusMessage* message, void* data)
                                             { return static_cast<Connection*> (data)->objects (message); },
                                             nullptr, nullptr, nullptr, nullptr };
    return lib().dbus_connection_register_fallback (connection, pathPrefix, &table, this);
}

void Connection::watchSignals (const std::vector<std::string>& matchRules, Handler handler)
{
    if (!signals)
        lib().dbus_connection_add_filter (
            connection, [] (DBusConnection*, DBusMessage* message, void* data)
            {
                auto& self = *static_cast<Connection*> (data);
                return lib().dbus_message_get_type (message) == DBUS_MESSAGE_TYPE_SIGNAL ? self.signals (message)
                                                                                           : DBUS_HANDLER_RESULT_NOT_YET_HANDLED; },
            this, nullptr);
    signals = std::move (handler);
    for (const auto& rule : matchRules)
        lib().dbus_bus_add_match (connection, rule.c_str(), nullptr);
}
} // namespace DBus
