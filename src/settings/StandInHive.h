#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;
class RegistryHive;

// The settings the program runs on. Normally the user's own hive; when that file cannot be
// opened (a newer version's file, a lock another process keeps, a read-only or full disk),
// a fresh hive in a private temporary folder stands in for it, so that the program runs on
// its defaults and the user's file is never written. The stand-in goes with this object:
// nothing changed in it is kept.
//
// A private window runs on a stand-in too: a copy of the user's settings, made at its start
// in the private runtime folder (kept in memory on most systems), so that the window reads
// what the user set and whatever it changes (typed addresses, zoom of sites, its place on
// the screen) is never written to the user's file.
class StandInHive final
{
public:
    enum class Use
    {
        UsersOwn,   // the user's hive, or a fresh one when it cannot be opened
        PrivateCopy // always a copy of the user's hive (its defaults when it is not open)
    };

    // `folder`: where a stand-in goes; empty: the temporary folder.
    explicit StandInHive(RegistryHive& user, Use use = Use::UsersOwn, const QString& folder = {});
    ~StandInHive();
    StandInHive(const StandInHive&) = delete;
    StandInHive& operator=(const StandInHive&) = delete;

    // The user's hive when it is open, else the stand-in. When not even a temporary folder
    // can be had there is none, and this is the user's hive that is not open: see isOpen().
    RegistryHive& hive() const;
    bool standingIn() const { return m_folder != nullptr; }
    bool isOpen() const;
    // What the user is told when the stand-in is used for want of the user's file; empty
    // otherwise.
    QString message() const;

private:
    RegistryHive& m_user;
    Use m_use;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<RegistryHive> m_standIn;
};
