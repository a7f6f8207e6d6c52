#include "history/HistoryIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 BlockSize = 128;
constexpr int LengthOffset = 4;
// Blocks read at a time.
constexpr qint64 ChunkBlocks = 512;
const QString IndexName = QStringLiteral("index.dat");

bool containsFolded(const QString& haystack, const QString& needle)
{
    return haystack.contains(needle, Qt::CaseInsensitive);
}

} // namespace

std::optional<HistoryIndexRow> historyIndexPage(const QByteArray& text)
{
    const qsizetype at = text.indexOf('@');
    if (at < 0)
        return std::nullopt;
    qsizetype addressEnd = text.indexOf('\x01', at + 1);
    if (addressEnd < 0)
        addressEnd = text.size();
    const QByteArray address = text.mid(at + 1, addressEnd - at - 1);
    const QByteArray rest = text.mid(addressEnd);

    // The title: after the first unit separator, up to the first two zero bytes of the
    // file (1 1 here), printable characters only.
    QByteArray title;
    const qsizetype separator = rest.indexOf('\x1f');
    const qsizetype start = separator < 0 ? 0 : separator + 1;
    const qsizetype end = rest.indexOf("\x01\x01", start);
    if (end >= 0) {
        for (qsizetype i = start; i < end; ++i) {
            const char c = rest.at(i);
            if (c >= 32 && c <= 126)
                title.append(c);
        }
    }
    HistoryIndexRow row;
    row.address = QString::fromLatin1(address);
    row.caption = title.isEmpty() ? row.address : QString::fromLatin1(title);
    if (row.caption.isEmpty() || row.caption.startsWith(QLatin1String(":Host")))
        return std::nullopt;
    return row;
}

bool ReadHistoryIndex(const QString& file, const QString& text, QList<HistoryIndexRow>& rows,
                      QString* error)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(file, in.errorString());
        return false;
    }
    const qint64 blocks = in.size() / BlockSize;
    QByteArray entry;
    int wanted = 0; // blocks of the entry being collected, 0 when none
    int count = 0;
    auto complete = [&] {
        if (const auto row = historyIndexPage(entry)) {
            if (containsFolded(row->address, text) || containsFolded(row->caption, text))
                rows.append(*row);
        }
        entry.clear();
        wanted = 0;
        count = 0;
    };
    for (qint64 first = 0; first < blocks; first += ChunkBlocks) {
        const qint64 chunkBlocks = qMin(ChunkBlocks, blocks - first);
        QByteArray chunk = in.read(chunkBlocks * BlockSize);
        if (chunk.size() != chunkBlocks * BlockSize) {
            if (error)
                *error = QStringLiteral("Cannot read %1: %2").arg(file, in.errorString());
            return false;
        }
        const QByteArray raw = chunk;
        chunk.replace('\0', '\x01');
        for (qint64 b = 0; b < chunkBlocks; ++b) {
            const char* block = chunk.constData() + b * BlockSize;
            if (wanted > 0) {
                entry.append(block, BlockSize);
                ++count;
            } else if (block[0] == 'U') {
                // The length as written; 0 could never be reached by counting, so such a
                // block starts nothing.
                const int length = static_cast<unsigned char>(raw.at(b * BlockSize + LengthOffset));
                if (length == 0)
                    continue;
                wanted = length;
                entry = QByteArray(block, BlockSize);
                count = 1;
            }
            if (wanted > 0 && count >= wanted)
                complete();
        }
    }
    return true;
}

bool SearchHistoryFolder(const QString& folder, const QString& text,
                         QList<HistoryIndexRow>& rows, QString* error)
{
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        QString file;
        if (entry.isDir() && !entry.fileName().startsWith(QLatin1Char('.')))
            file = QDir(entry.filePath()).filePath(IndexName);
        else if (entry.fileName() == IndexName)
            file = entry.filePath();
        if (file.isEmpty() || !QFileInfo(file).isFile())
            continue;
        if (!ReadHistoryIndex(file, text, rows, error))
            return false;
    }
    return true;
}
