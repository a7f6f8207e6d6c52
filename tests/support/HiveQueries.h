#pragma once

#include "platform/RegistryHive.h"

// The statements a hive runs on its file from the moment this is made: what a reader costs.
class HiveQueries final
{
public:
    explicit HiveQueries(const RegistryHive& hive)
        : m_hive(hive)
        , m_start(hive.queryCount())
    {}
    quint64 taken() const { return m_hive.queryCount() - m_start; }

private:
    const RegistryHive& m_hive;
    quint64 m_start;
};
