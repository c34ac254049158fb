#include "DBusMessage.h"

#include <utility>

namespace DBus
{
namespace
{
    const Library& lib()
    {
        return library();
    }
} // namespace

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

Message Message::replyTo (const Message& call)
{
    return Message (lib().dbus_message_new_method_return (call.get()));
}

Message Message::errorFor (const Message& call, const char* name, const char* text)
{
    return Message (lib().dbus_message_new_error (call.get(), name, text));
}

bool Message::isMethodCall() const
{
    return message != nullptr && lib().dbus_message_get_type (message) == DBUS_MESSAGE_TYPE_METHOD_CALL;
}

bool Message::isSignal() const
{
    return message != nullptr && lib().dbus_message_get_type (message) == DBUS_MESSAGE_TYPE_SIGNAL;
}

bool Message::isError() const
{
    return message != nullptr && lib().dbus_message_get_type (message) == DBUS_MESSAGE_TYPE_ERROR;
}

bool Message::wantsReply() const
{
    return message != nullptr && !lib().dbus_message_get_no_reply (message);
}

std::string Message::text (const char* (*accessor) (DBusMessage*) ) const
{
    const char* value = message != nullptr ? accessor (message) : nullptr;
    return value != nullptr ? value : "";
}

std::string Message::sender() const
{
    return text (lib().dbus_message_get_sender);
}

std::string Message::path() const
{
    return text (lib().dbus_message_get_path);
}

std::string Message::interface() const
{
    return text (lib().dbus_message_get_interface);
}

std::string Message::member() const
{
    return text (lib().dbus_message_get_member);
}

std::string Message::errorName() const
{
    return text (lib().dbus_message_get_error_name);
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
Reader::Reader (const Message& message)
    : valid (message && lib().dbus_message_iter_init (message.get(), &iter))
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
} // namespace DBus
