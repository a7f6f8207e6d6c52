#include "bars/ToolbarFile.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString Section = QStringLiteral("Toolbar");

ProfileFile documentOf(const ToolbarArrangement& arrangement)
{
    ProfileFile document;
    for (const ToolbarSlot& slot : arrangement)
        document.setValue(Section, QString::number(slot.tag),
                          slot.shown ? QStringLiteral("1") : QStringLiteral("0"));
    return document;
}

} // namespace

QString ToolbarFile::fileIn(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("toolbar.dat"));
}

ToolbarArrangement ToolbarFile::design(int count)
{
    ToolbarArrangement arrangement;
    for (int tag = 0; tag < count; ++tag)
        arrangement << ToolbarSlot{tag, true};
    return arrangement;
}

ToolbarArrangement ToolbarFile::apply(const ToolbarArrangement& current,
                                      const QList<std::pair<QString, QString>>& lines, bool reset)
{
    QList<int> tags;
    for (const ToolbarSlot& slot : current)
        tags << slot.tag;
    std::sort(tags.begin(), tags.end());
    if (reset) {
        ToolbarArrangement arrangement;
        for (int tag : tags)
            arrangement << ToolbarSlot{tag, true};
        return arrangement;
    }
    ToolbarArrangement named;
    for (const auto& [key, value] : lines) {
        bool keyOk = false;
        bool valueOk = false;
        const int tag = key.trimmed().toInt(&keyOk, 10);
        const int shown = value.trimmed().toInt(&valueOk, 10);
        if (!keyOk || !valueOk || !tags.contains(tag))
            continue;
        const bool placed = std::any_of(named.cbegin(), named.cend(),
                                        [tag](const ToolbarSlot& slot) { return slot.tag == tag; });
        if (!placed)
            named << ToolbarSlot{tag, shown == 1};
    }
    for (int tag : tags) {
        const bool placed = std::any_of(named.cbegin(), named.cend(),
                                        [tag](const ToolbarSlot& slot) { return slot.tag == tag; });
        if (!placed)
            named << ToolbarSlot{tag, true};
    }
    return named;
}

QByteArray ToolbarFile::toBytes(const ToolbarArrangement& arrangement)
{
    return documentOf(arrangement).toBytes();
}

ToolbarArrangement ToolbarFile::LoadToolbarLayout(const QString& path,
                                                  const ToolbarArrangement& current, bool reset)
{
    if (!QFileInfo::exists(path))
        return current;
    // A file that cannot be read as text names no button: the design arrangement.
    const ProfileFile file = ProfileFile::load(path);
    return apply(current, file.entries(Section), reset);
}

bool ToolbarFile::SaveToolbarLayout(const QString& path, const ToolbarArrangement& arrangement,
                                    QString* error)
{
    return documentOf(arrangement).saveAs(path, error);
}
