// Stands where the desktop's accessibility bus launcher (org.a11y.Bus) would, on the session
// bus named by DBUS_SESSION_BUS_ADDRESS, and misbehaves in one of three ways:
//   impostor-launcher silent        owns the name, answers nothing, and says every 1.5 s
//                                   that assistive technology is on
//   impostor-launcher address ADDR  owns the name, says assistive technology is on, and
//                                   gives ADDR as the accessibility bus's address
//   impostor-launcher spoof         owns nothing, and says every 0.3 s, as if it were the
//                                   launcher, that assistive technology is on
// It prints "ready" once it runs, and runs until killed.

#include <dbus/dbus.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
constexpr const char* launcherName = "org.a11y.Bus";
constexpr const char* launcherPath = "/org/a11y/bus";
constexpr const char* statusInterface = "org.a11y.Status";
constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";

void appendTrue (DBusMessageIter& dictionary, const char* name)
{
    DBusMessageIter entry, variant;
    dbus_bool_t on = TRUE;
    dbus_message_iter_open_container (&dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic (&entry, DBUS_TYPE_STRING, &name);
    dbus_message_iter_open_container (&entry, DBUS_TYPE_VARIANT, "b", &variant);
    dbus_message_iter_append_basic (&variant, DBUS_TYPE_BOOLEAN, &on);
    dbus_message_iter_close_container (&entry, &variant);
    dbus_message_iter_close_container (&dictionary, &entry);
}

/** org.a11y.Status with both of its properties on, as a{sv}. */
void appendStatusOn (DBusMessageIter& into)
{
    DBusMessageIter dictionary;
    dbus_message_iter_open_container (&into, DBUS_TYPE_ARRAY, "{sv}", &dictionary);
    appendTrue (dictionary, "IsEnabled");
    appendTrue (dictionary, "ScreenReaderEnabled");
    dbus_message_iter_close_container (&into, &dictionary);
}

void sayStatusIsOn (DBusConnection* bus)
{
    auto* signal = dbus_message_new_signal (launcherPath, propertiesInterface, "PropertiesChanged");
    DBusMessageIter args, invalidated;
    dbus_message_iter_init_append (signal, &args);
    dbus_message_iter_append_basic (&args, DBUS_TYPE_STRING, &statusInterface);
    appendStatusOn (args);
    dbus_message_iter_open_container (&args, DBUS_TYPE_ARRAY, "s", &invalidated);
    dbus_message_iter_close_container (&args, &invalidated);
    dbus_connection_send (bus, signal, nullptr);
    dbus_message_unref (signal);
}

DBusMessage* answer (DBusMessage* call, const std::string& address)
{
    if (dbus_message_is_method_call (call, propertiesInterface, "GetAll"))
    {
        auto* reply = dbus_message_new_method_return (call);
        DBusMessageIter args;
        dbus_message_iter_init_append (reply, &args);
        appendStatusOn (args);
        return reply;
    }
    if (dbus_message_is_method_call (call, propertiesInterface, "Get"))
    {
        auto* reply = dbus_message_new_method_return (call);
        DBusMessageIter args, variant;
        dbus_bool_t on = TRUE;
        dbus_message_iter_init_append (reply, &args);
        dbus_message_iter_open_container (&args, DBUS_TYPE_VARIANT, "b", &variant);
        dbus_message_iter_append_basic (&variant, DBUS_TYPE_BOOLEAN, &on);
        dbus_message_iter_close_container (&args, &variant);
        return reply;
    }
    if (dbus_message_is_method_call (call, launcherName, "GetAddress"))
    {
        auto* reply = dbus_message_new_method_return (call);
        const char* text = address.c_str();
        dbus_message_append_args (reply, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
        return reply;
    }
    return nullptr;
}
} // namespace

int main (int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string address = argc > 2 ? argv[2] : "";
    if (mode != "silent" && mode != "spoof" && !(mode == "address" && !address.empty()))
    {
        std::fprintf (stderr, "usage: %s silent|spoof|address ADDRESS\n", argv[0]);
        return 2;
    }

    DBusError error;
    dbus_error_init (&error);
    auto* bus = dbus_bus_get_private (DBUS_BUS_SESSION, &error);
    if (bus == nullptr)
    {
        std::fprintf (stderr, "no session bus: %s\n", error.message);
        return 1;
    }
    if (mode != "spoof" && dbus_bus_request_name (bus, launcherName, DBUS_NAME_FLAG_REPLACE_EXISTING | DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER)
    {
        std::fprintf (stderr, "cannot own %s\n", launcherName);
        return 1;
    }
    std::printf ("ready\n");
    std::fflush (stdout);

    const auto every = std::chrono::milliseconds (mode == "spoof" ? 300 : 1500);
    auto next = std::chrono::steady_clock::now();
    for (;;)
    {
        if (mode != "address" && std::chrono::steady_clock::now() >= next)
        {
            sayStatusIsOn (bus);
            next += every;
        }
        dbus_connection_read_write (bus, 100);
        while (auto* message = dbus_connection_pop_message (bus))
        {
            // The silent one answers no call at all.
            if (mode == "address" && dbus_message_get_type (message) == DBUS_MESSAGE_TYPE_METHOD_CALL)
                if (auto* reply = answer (message, address))
                {
                    dbus_connection_send (bus, reply, nullptr);
                    dbus_message_unref (reply);
                }
            dbus_message_unref (message);
        }
        dbus_connection_flush (bus);
    }
}
