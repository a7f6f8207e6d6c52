// INI reader and writer: a file read and written without change comes back byte for byte;
// a value set is read back as set, and every other entry is as it was.
#include "FuzzSupport.h"
#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QByteArray bytes = input.bytes();
    ProfileFile doc = ProfileFile::fromBytes(bytes);
    if (doc.status() != ProfileFile::Status::Ok)
        return 0;
    if (doc.toBytes() != bytes)
        FuzzSupport::broken("unchanged document written back byte for byte");

    const QStringList sections = doc.sectionNames();
    const QString section = sections.isEmpty() ? QStringLiteral("S") : sections.first();
    const QString key = QStringLiteral("FuzzKey");
    const QString value = QStringLiteral(" \"set\u00e9 \u20ac\u4e2d\" ");
    const auto before = doc.entries(sections.value(1));
    if (!doc.setValue(section, key, value))
        return 0;
    const ProfileFile again = ProfileFile::fromBytes(doc.toBytes());
    if (again.value(section, key) != value)
        FuzzSupport::broken("a value set is read back as set");
    if (sections.size() > 1 && sections.value(1).compare(section, Qt::CaseInsensitive) != 0 &&
        again.entries(sections.value(1)) != before)
        FuzzSupport::broken("other sections keep their entries");
    return 0;
}
