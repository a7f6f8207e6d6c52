// Bookmark files as import reads them: a Netscape HTML export or a Chromium "Bookmarks"
// JSON file, told apart by their content as readBookmarkFile tells them. A tree read is
// written as a Netscape file and read back as the same tree of folders, titles and
// addresses.
#include "FuzzSupport.h"
#include "favorites/Bookmarks.h"

#include <QDir>
#include <QFile>

namespace {

// What the round trip must keep: folders, titles, addresses and their order (dates are
// written to the second, and a folder's own date is not kept by every format).
bool sameShape(const BookmarkNode& a, const BookmarkNode& b)
{
    if (a.folder != b.folder || a.title != b.title || a.url != b.url ||
        a.children.size() != b.children.size())
        return false;
    for (qsizetype i = 0; i < a.children.size(); ++i) {
        if (!sameShape(a.children[i], b.children[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QString path = QDir(FuzzSupport::folder().path()).filePath(QStringLiteral("Bookmarks"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const BookmarkRead read = readBookmarkFile(path);
    if (!read.ok())
        return 0;
    if (!read.root.folder)
        FuzzSupport::broken("the root of a tree read is a folder");
    const QByteArray written = writeNetscapeBookmarks(read.root);
    const BookmarkRead again = readNetscapeBookmarks(written);
    if (!again.ok())
        FuzzSupport::broken("a written bookmark file is read");
    if (!sameShape(again.root, read.root))
        FuzzSupport::broken("a written bookmark file reads as the same tree");
    return 0;
}
