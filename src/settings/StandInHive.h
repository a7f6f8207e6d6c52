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
class StandInHive final
{
public:
    explicit StandInHive(RegistryHive& user);
    ~StandInHive();
    StandInHive(const StandInHive&) = delete;
    StandInHive& operator=(const StandInHive&) = delete;

    // The user's hive when it is open, else the stand-in. When not even a temporary folder
    // can be had there is none, and this is the user's hive that is not open: see isOpen().
    RegistryHive& hive() const;
    bool standingIn() const { return m_folder != nullptr; }
    bool isOpen() const;
    // What the user is told when the stand-in is used; empty otherwise.
    QString message() const;

private:
    RegistryHive& m_user;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<RegistryHive> m_standIn;
};
