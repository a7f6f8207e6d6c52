#include "platform/web/PersonalDictionary.h"

#include "platform/BoundedFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

// How the engine ends the file: the MD5 of every line before it, in hexadecimal.
constexpr char ChecksumPrefix[] = "checksum_v1 = ";

QByteArray checksumOf(const QByteArray& lines)
{
    return QCryptographicHash::hash(lines, QCryptographicHash::Md5).toHex();
}

} // namespace

PersonalDictionary::PersonalDictionary(const QString& profileFolder)
{
    if (profileFolder.isEmpty())
        return;
    m_path = QDir(profileFolder).filePath(fileName());
    if (!QFile::exists(m_path))
        return;
    const BoundedFile file = BoundedFile::read(m_path, MaxFileBytes);
    switch (file.status) {
    case BoundedFile::Status::Read:
        for (const QString& word : parse(file.bytes))
            m_words.insert(word);
        break;
    case BoundedFile::Status::TooLarge:
        m_error = QStringLiteral("%1 is larger than %2 MiB and was not read.")
                      .arg(QDir::toNativeSeparators(m_path))
                      .arg(MaxFileBytes / (1024 * 1024));
        break;
    case BoundedFile::Status::Failed:
        m_error = file.error;
        break;
    }
}

bool PersonalDictionary::isAcceptable(const QString& word)
{
    if (word.isEmpty() || word.toUtf8().size() > MaxWordBytes)
        return false;
    return std::none_of(word.begin(), word.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control ||
               c == QChar::ReplacementCharacter;
    });
}

QStringList PersonalDictionary::parse(const QByteArray& content)
{
    QByteArray lines = content;
    const qsizetype at = content.lastIndexOf(ChecksumPrefix);
    if (at >= 0) {
        lines = content.left(at);
        if (content.mid(at + qsizetype(sizeof ChecksumPrefix) - 1).trimmed() != checksumOf(lines))
            return {};
    }
    QStringList words;
    QSet<QString> seen;
    for (const QByteArray& line : lines.split('\n')) {
        if (words.size() >= MaxWords)
            break;
        const QByteArray bytes = line.trimmed();
        const QString word = QString::fromUtf8(bytes);
        // Bytes that are no UTF-8 would come back changed.
        if (word.toUtf8() == bytes && isAcceptable(word) && !seen.contains(word)) {
            seen.insert(word);
            words << word;
        }
    }
    return words;
}

QByteArray PersonalDictionary::format(const QStringList& words)
{
    // The engine keeps its words ordered by their bytes.
    QList<QByteArray> encoded;
    for (const QString& word : words) {
        if (isAcceptable(word))
            encoded << word.toUtf8();
    }
    std::sort(encoded.begin(), encoded.end());
    encoded.erase(std::unique(encoded.begin(), encoded.end()), encoded.end());
    QByteArray lines;
    for (const QByteArray& word : std::as_const(encoded))
        lines += word + '\n';
    return lines + ChecksumPrefix + checksumOf(lines);
}

PersonalDictionary::Result PersonalDictionary::add(const QString& word)
{
    m_error.clear();
    if (!isAcceptable(word) || m_words.size() >= MaxWords)
        return Result::Refused;
    if (m_words.contains(word))
        return Result::AlreadyKnown;
    if (!m_path.isEmpty()) {
        QStringList words(m_words.begin(), m_words.end());
        words << word;
        // Written whole or not at all: the engine reads no words from a half-written file.
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(format(words)) < 0 || !file.commit()) {
            m_error = QStringLiteral("The word could not be kept in %1: %2")
                          .arg(QDir::toNativeSeparators(m_path), file.errorString());
            return Result::Failed;
        }
    }
    m_words.insert(word);
    return Result::Added;
}
