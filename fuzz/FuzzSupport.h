#pragma once

// What every fuzz target shares: a Qt application object made once, a private folder for
// the files a target must write to disk, and a bound on the memory one input may take.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
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

namespace detail {

// Bytes allocated and not yet freed since the input began, and the most they reached.
// Signed: a block made before the input and freed during it takes the count below zero,
// which only makes the bound a little more lenient, never falsely strict.
inline std::atomic<std::int64_t> live{0};
inline std::atomic<std::int64_t> peak{0};

inline void onMalloc(const volatile void*, std::size_t size)
{
    const std::int64_t now =
        live.fetch_add(std::int64_t(size), std::memory_order_relaxed) + std::int64_t(size);
    std::int64_t high = peak.load(std::memory_order_relaxed);
    while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
    }
}

inline void onFree(const volatile void* pointer)
{
    // Called before the block goes, so its size is still known.
    live.fetch_sub(std::int64_t(__sanitizer_get_allocated_size(const_cast<const void*>(pointer))),
                   std::memory_order_relaxed);
}

} // namespace detail

// The most one input may hold live at once. A reader keeps a handful of copies of what it
// reads (the bytes, the text at two bytes a character, its lines, what it parsed, the text
// written back and its second reading): some 20 to 40 bytes an input byte. 256 leaves a
// wide margin over that; the fixed 64 MiB covers Qt, SQLite's page cache and whatever is
// made once on first use. With inputs up to 64 KiB the bound is at most 80 MiB, below
// libFuzzer's own 256 MiB for one allocation, and any growth with the square of the input
// breaks it from some 8 KiB of input on.
inline std::int64_t memoryBound(std::size_t inputSize)
{
    return std::int64_t(64) * 1024 * 1024 + std::int64_t(256) * std::int64_t(inputSize);
}

// Made first in a target's LLVMFuzzerTestOneInput, so that it is gone last: counts what is
// allocated while the input is handled and breaks the memory property when the peak of live
// bytes goes over memoryBound().
class Input final
{
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
        app();
        folder();
        static const bool hooked =
            __sanitizer_install_malloc_and_free_hooks(detail::onMalloc, detail::onFree) != 0;
        if (!hooked)
            broken("memory hooks installed");
        detail::live.store(0, std::memory_order_relaxed);
        detail::peak.store(0, std::memory_order_relaxed);
    }
    ~Input()
    {
        const std::int64_t high = detail::peak.load(std::memory_order_relaxed);
        // PELVANE_FUZZ_PEAKS=1 reports each input's peak: how far below the bound inputs
        // stay (run a target on its corpus files to see).
        static const bool report = qEnvironmentVariableIntValue("PELVANE_FUZZ_PEAKS") != 0;
        if (report)
            std::fprintf(stderr, "peak %lld bytes for %zu bytes of input\n",
                         static_cast<long long>(high), m_size);
        if (high > memoryBound(m_size)) {
            std::fprintf(stderr, "%lld bytes live at most for %zu bytes of input\n",
                         static_cast<long long>(high), m_size);
            broken("memory stays within 64 MiB + 256 bytes an input byte");
        }
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    QByteArray bytes() const
    {
        return QByteArray(reinterpret_cast<const char*>(m_data), qsizetype(m_size));
    }
    std::size_t size() const { return m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

} // namespace FuzzSupport
