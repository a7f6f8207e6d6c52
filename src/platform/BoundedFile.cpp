#include "platform/BoundedFile.h"

#include <QFile>

BoundedFile BoundedFile::read(const QString& path, qint64 maxBytes)
{
    BoundedFile result;
    QFile file(path);
    if (file.size() > maxBytes) {
        result.status = Status::TooLarge;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = Status::Failed;
        result.error = file.errorString();
        return result;
    }
    // The size is learnt again through the open file: it may have grown since.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.status = Status::Failed;
        result.error = file.errorString();
    } else if (bytes.size() > maxBytes) {
        result.status = Status::TooLarge;
    } else {
        result.bytes = std::move(bytes);
    }
    return result;
}
