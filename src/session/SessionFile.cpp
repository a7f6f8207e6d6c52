#include "session/SessionFile.h"

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
    QFile file(path);
    if (!file.exists())
        return result;
    const auto damaged = [&result, &path](const QString& why) {
        result.error = QStringLiteral("The saved tabs in %1 could not be used: %2.").arg(path, why);
        return result;
    };
    if (QFileInfo(path).size() > MaxBytes)
        return damaged(QStringLiteral("the file is larger than %1 MiB").arg(MaxBytes >> 20));
    if (!file.open(QIODevice::ReadOnly))
        return damaged(file.errorString());
    // The size is read again through the open file: it may have grown since.
    const QByteArray text = file.read(MaxBytes + 1);
    if (text.size() > MaxBytes)
        return damaged(QStringLiteral("the file is larger than %1 MiB").arg(MaxBytes >> 20));
    QString why;
    result.state = SessionState::fromJson(text, &why);
    if (!result.state)
        return damaged(why);
    return result;
}
