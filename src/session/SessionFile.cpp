#include "session/SessionFile.h"

#include "platform/BoundedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString SessionFile::write(const QString& path, const SessionState& state)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray text = state.toJson();
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}

SessionFile::ReadResult SessionFile::read(const QString& path)
{
    ReadResult result;
    if (!QFileInfo::exists(path))
        return result;
    const auto damaged = [&result, &path](const QString& why) {
        result.error = QStringLiteral("The saved tabs in %1 could not be used: %2.").arg(path, why);
        return result;
    };
    const BoundedFile text = BoundedFile::read(path, MaxBytes);
    if (text.status == BoundedFile::Status::TooLarge)
        return damaged(QStringLiteral("the file is larger than %1 MiB").arg(MaxBytes >> 20));
    if (text.status == BoundedFile::Status::Failed)
        return damaged(text.error);
    QString why;
    result.state = SessionState::fromJson(text.bytes, &why);
    if (!result.state)
        return damaged(why);
    return result;
}
