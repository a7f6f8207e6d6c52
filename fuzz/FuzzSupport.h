#pragma once

// What every fuzz target shares: a Qt application object made once, and a private folder
// for the files a target must write to disk.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

inline QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

inline const QTemporaryDir& folder()
{
    static QTemporaryDir* dir = new QTemporaryDir;
    return *dir;
}

// A property the input broke: says which and stops, so that libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* property)
{
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

} // namespace FuzzSupport
