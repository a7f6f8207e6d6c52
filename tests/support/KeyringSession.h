#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A desktop keyring of the test's own: a private D-Bus session bus with a GNOME Keyring
// daemon on it, its login keyring made and unlocked with a test password in a temporary
// home. The process's environment (DBUS_SESSION_BUS_ADDRESS, HOME, XDG_DATA_HOME,
// XDG_RUNTIME_DIR) points at it from start() on, so it must run before anything in the
// process connects to a session bus. Both daemons end with the object.
class KeyringSession final
{
public:
    static constexpr const char* Password = "pelvane-test";

    KeyringSession() = default;
    ~KeyringSession();
    KeyringSession(const KeyringSession&) = delete;
    KeyringSession& operator=(const KeyringSession&) = delete;

    // False, with error() saying why, when a daemon is missing or did not come up.
    bool start();
    QString error() const { return m_error; }
    QString busAddress() const { return m_address; }
    QString home() const { return m_home.path(); }

    // Whether a name (a service, the keyring's prompter) is owned on the session bus now.
    static bool hasOwner(const QString& name);

    // Points the process at a bus nobody listens on: a desktop without a Secret Service.
    static void useNoBus(const QString& folder);

private:

    QTemporaryDir m_home;
    QProcess m_bus;
    QProcess m_keyring;
    QString m_address;
    QString m_error;
};
