#pragma once

#include <QByteArray>

// Whether the system is running short of memory, from the kernel's own figures: less than
// a tenth of the memory (or less than 256 MiB) is still available.
namespace MemoryPressure {

// From the text of /proc/meminfo; false when the figures are missing.
bool isLow(const QByteArray& meminfo);
// The system now; false where /proc/meminfo cannot be read.
bool isLowNow();

} // namespace MemoryPressure
