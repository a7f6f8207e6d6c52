#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// The user's own words, which the engine's spelling check takes as spelled right. They are
// kept where the engine's spelling check looks for them, in the profile's folder and in its
// format (a word a line, then a checksum of those lines), so the engine's own reading of the
// file is what makes them known to every page. The engine reads the file once, when the
// profile starts: a word added while the program runs is known to the page's menu at once
// and underlined no more from the next start.
class PersonalDictionary final
{
public:
    // The engine takes longer words as no word at all.
    static constexpr int MaxWordBytes = 99;
    // Far above what a person adds by hand; a larger file was not written by one.
    static constexpr int MaxWords = 50000;
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    enum class Result
    {
        Added,
        AlreadyKnown,
        Refused, // not a word the engine would keep
        Failed,  // could not be written: error() says why; the file is as it was
    };

    // The words of `profileFolder`, read now; an empty folder (a profile that keeps nothing
    // on disk) takes words for this run alone.
    explicit PersonalDictionary(const QString& profileFolder);

    static QString fileName() { return QStringLiteral("Custom Dictionary.txt"); }
    static bool isAcceptable(const QString& word);
    // The words of a file's content; a content whose checksum does not match is read as
    // no words (the engine then also ignores it), a word it would not keep is skipped.
    static QStringList parse(const QByteArray& content);
    // The content for these words, sorted as the engine sorts them, with their checksum.
    static QByteArray format(const QStringList& words);

    QString path() const { return m_path; }
    bool contains(const QString& word) const { return m_words.contains(word); }
    int size() const { return int(m_words.size()); }
    Result add(const QString& word);
    // What went wrong with the last read or write; empty when nothing did.
    QString error() const { return m_error; }

private:
    QString m_path;
    QSet<QString> m_words;
    QString m_error;
};
