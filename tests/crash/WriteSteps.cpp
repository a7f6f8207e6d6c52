#include "WriteSteps.h"

// No system header that declares the calls themselves is included here: this file defines
// them, and the program's own definitions come before the C library's for every library
// the program loads (the executable exports them; see CMakeLists.txt).
#include <dlfcn.h>
#include <signal.h>
#include <sys/types.h>

struct iovec;

namespace {

int g_stopAt = -1; // -1: not armed
int g_taken = 0;

// Every step of an armed process goes through here before the call is made.
void step()
{
    if (g_stopAt < 0)
        return;
    ++g_taken;
    if (g_stopAt > 0 && g_taken == g_stopAt)
        raise(SIGKILL);
}

// Files only: the standard streams are no step of the write.
void stepOn(int fd)
{
    if (fd > 2)
        step();
}

template<typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

namespace WriteSteps {

void arm(int stopAt)
{
    g_taken = 0;
    g_stopAt = stopAt;
}

int taken()
{
    return g_taken;
}

} // namespace WriteSteps

#define PASS_ON(name, type, ...)                                                               \
    static const auto real = next<type>(name);                                                 \
    return real(__VA_ARGS__)

extern "C" {

ssize_t write(int fd, const void* data, size_t size)
{
    stepOn(fd);
    PASS_ON("write", ssize_t (*)(int, const void*, size_t), fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset)
{
    stepOn(fd);
    PASS_ON("pwrite", ssize_t (*)(int, const void*, size_t, off_t), fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset)
{
    stepOn(fd);
    PASS_ON("pwrite64", ssize_t (*)(int, const void*, size_t, off_t), fd, data, size, offset);
}

ssize_t writev(int fd, const iovec* parts, int count)
{
    stepOn(fd);
    PASS_ON("writev", ssize_t (*)(int, const iovec*, int), fd, parts, count);
}

int fsync(int fd)
{
    stepOn(fd);
    PASS_ON("fsync", int (*)(int), fd);
}

int fdatasync(int fd)
{
    stepOn(fd);
    PASS_ON("fdatasync", int (*)(int), fd);
}

int ftruncate(int fd, off_t length)
{
    stepOn(fd);
    PASS_ON("ftruncate", int (*)(int, off_t), fd, length);
}

int ftruncate64(int fd, off_t length)
{
    stepOn(fd);
    PASS_ON("ftruncate64", int (*)(int, off_t), fd, length);
}

int rename(const char* from, const char* to)
{
    step();
    PASS_ON("rename", int (*)(const char*, const char*), from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    step();
    PASS_ON("renameat", int (*)(int, const char*, int, const char*), fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags)
{
    step();
    PASS_ON("renameat2", int (*)(int, const char*, int, const char*, unsigned int), fromDir,
            from, toDir, to, flags);
}

int link(const char* from, const char* to)
{
    step();
    PASS_ON("link", int (*)(const char*, const char*), from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    step();
    PASS_ON("linkat", int (*)(int, const char*, int, const char*, int), fromDir, from, toDir, to,
            flags);
}

int unlink(const char* path)
{
    step();
    PASS_ON("unlink", int (*)(const char*), path);
}

int unlinkat(int dir, const char* path, int flags)
{
    step();
    PASS_ON("unlinkat", int (*)(int, const char*, int), dir, path, flags);
}

int mkdir(const char* path, mode_t mode)
{
    step();
    PASS_ON("mkdir", int (*)(const char*, mode_t), path, mode);
}

int rmdir(const char* path)
{
    step();
    PASS_ON("rmdir", int (*)(const char*), path);
}

} // extern "C"
