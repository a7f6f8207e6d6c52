#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// An initialization (INI) file in memory, read and written by the rules of the Windows
// private-profile functions, so that page groups, toolbar.dat, formfiller.ini and .url
// shortcuts stay compatible with files written on Windows:
//
// - section and key names are compared without regard to case;
// - keys come back in file order; a repeated key's first value wins and the key is listed
//   once; a section that occurs twice is read as one;
// - values lose their leading and trailing blanks, then a pair of enclosing quotation
//   marks ("..." or '...'); blanks round "=" are allowed;
// - lines before the first section, comment lines (";") and other sections are kept as
//   they are on write; an existing key is replaced in place, a new key goes at the end
//   of its section, a new section at the end of the file; every line keeps its own line
//   end (LF or CR LF), new lines end in CR LF, and a line that did not change is written
//   back byte for byte.
//
// Unlike the Windows functions, nothing is cut: values and name lists of any length come
// back whole.
//
// Text: a file that starts with a UTF-8 (and is valid UTF-8) or UTF-16LE byte-order mark
// is read as such; a file without a mark is UTF-8 when its bytes are valid UTF-8 beyond
// ASCII, and Windows text (Windows-1252, every byte a character) otherwise. Each is written
// back the way it was read, so a file comes back exactly as it was. A Windows-text
// document that must hold a character the code page cannot (a Cyrillic sticky name, say)
// is written as UTF-8 with a byte-order mark rather than losing the character, and so is
// one whose bytes would read back as UTF-8 and so mean other characters.
//
// Files over 1 MiB are not read: no settings file, page group or shortcut is that large.
//
// Several edits and one write: load(), change the document, save(). Every save writes the
// whole file to a temporary file and renames it over the old one.
class ProfileFile final
{
public:
    enum class Encoding
    {
        Ansi, // Windows-1252
        Utf8, // without a byte-order mark
        Utf8Bom,
        Utf16LeBom
    };
    // How the last load() went. Anything but Ok leaves an empty document.
    enum class Status
    {
        Ok,
        Missing,
        Unreadable,
        NotText
    };

    ProfileFile() = default; // an empty document with no file

    // Reads the whole file once. Never fails loudly: a missing, unreadable or binary file
    // gives an empty document, and status() and errorString() tell why.
    static ProfileFile load(const QString& path);
    static ProfileFile fromBytes(const QByteArray& bytes);
    // Windows text (Windows-1252, every byte a character), as files without a mark are read
    // when they are not UTF-8; other readers of Windows-era files use it too.
    static QString fromWindowsText(const QByteArray& bytes);

    QString fileName() const { return m_fileName; }
    Status status() const { return m_status; }
    QString errorString() const { return m_error; } // empty when status() is Ok
    Encoding encoding() const { return m_encoding; }

    // Reading.
    QStringList sectionNames() const; // each once, in file order
    bool hasSection(const QString& section) const;
    QStringList keyNames(const QString& section) const;
    // Each key of the section once, in file order, with its (first) value.
    QList<std::pair<QString, QString>> entries(const QString& section) const;
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const;

    // Editing. setValue() refuses (returning false, with the reason in *error) a name that
    // could not be read back as written: an empty name, a key holding "=" or beginning with
    // "[" or ";", a section name holding "]", and any name or value holding a line break
    // or a NUL.
    // A value that would lose blanks or quotation marks on reading is written in quotes.
    bool setValue(const QString& section, const QString& key, const QString& value,
                  QString* error = nullptr);
    bool removeKey(const QString& section, const QString& key);
    bool removeSection(const QString& section); // every occurrence, with its keys

    // Writing.
    QByteArray toBytes() const;
    Encoding encodingForSave() const;
    // Writes to the file the document was loaded from (save) or to path (saveAs). On
    // failure the file is left as it was and *error says why.
    bool save(QString* error = nullptr) const { return saveAs(m_fileName, error); }
    bool saveAs(const QString& path, QString* error = nullptr) const;

    // One operation on a file, like the Windows functions: each reads the file once and
    // writes it at most once.
    static QString readString(const QString& path, const QString& section, const QString& key,
                              const QString& defaultValue = QString());
    static QStringList readKeyNames(const QString& path, const QString& section);
    static QStringList readSectionNames(const QString& path);
    static bool writeString(const QString& path, const QString& section, const QString& key,
                            const QString& value, QString* error = nullptr);
    static bool deleteKey(const QString& path, const QString& section, const QString& key,
                          QString* error = nullptr);
    static bool deleteSection(const QString& path, const QString& section,
                              QString* error = nullptr);

private:
    enum class Kind
    {
        Other,
        Comment,
        Section,
        Key
    };
    enum LineEnd : quint8
    {
        CrLf,
        Lf,
        CrOnly, // only at the end of the file
        NoEnd   // only at the end of the file
    };
    struct Line
    {
        QString text;
        LineEnd eol = CrLf;
        Kind kind = Kind::Other;
        QString name;   // the section's or key's name, trimmed
        QString folded; // the name as it is compared
    };

    QString text() const; // the lines with their line ends
    static Line classify(const QString& text);
    static QString valueOf(const Line& line);
    static QString fold(QStringView name);
    void parse(const QString& text);
    // Calls visit(index) for the header and every line of each occurrence of the section,
    // until visit returns false.
    template<typename Visit> void forEachInSection(const QString& foldedSection, Visit visit) const;
    qsizetype firstKey(const QString& foldedSection, const QString& foldedKey) const;

    QList<Line> m_lines;
    QString m_fileName;
    QString m_error;
    Status m_status = Status::Ok;
    Encoding m_encoding = Encoding::Ansi;
};
