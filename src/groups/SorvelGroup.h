#pragma once

#include <QLatin1String>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Texts and settings of the save dialog and the overwrite question, for the widgets that
// implement GroupSaveQuestions.
namespace SorvelGroupTexts {
inline constexpr QLatin1String SaveTitle("Save SorvelGroup");
inline constexpr QLatin1String FileFilter("SorvelGroup Files (*.sgp)");
inline constexpr QLatin1String DefaultSuffix("sgp");
inline constexpr QLatin1String
    OverwriteQuestion("A SorvelGroup with this name already exists. Do you want to overwrite it?");
inline constexpr QLatin1String WriteError("Unable to write to %1");
inline constexpr QLatin1String Section("SorvelGroup");
} // namespace SorvelGroupTexts

// What saving a group needs to ask the user. The widget side shows the save dialog (title,
// filter and suffix from SorvelGroupTexts, without the dialog's own overwrite question) and
// a Yes/No/Cancel message box; tests answer with a script.
class GroupSaveQuestions
{
public:
    enum class Answer
    {
        Yes,
        No,
        Cancel
    };

    virtual ~GroupSaveQuestions() = default;
    // The file to save to, or an empty text when the user cancels.
    virtual QString askFileName(const QString& startFolder) = 0;
    virtual Answer askOverwrite(const QString& path) = 0;

protected:
    GroupSaveQuestions() = default;
    GroupSaveQuestions(const GroupSaveQuestions&) = default;
    GroupSaveQuestions& operator=(const GroupSaveQuestions&) = default;
};

// One tab of a group as the program uses it.
struct PageGroupEntry
{
    QString stickyName; // empty: the tab shows its page's title
    QString address;
    bool locked = false;

    bool operator==(const PageGroupEntry&) const = default;
};

// A page group: an ordered list of lines "name=value" and the file it belongs to. A value
// type, made for one command, filled or read, saved and dropped.
class TSorvelGroup final
{
public:
    enum class SaveResult
    {
        Saved,
        Cancelled,
        Failed
    };

    TSorvelGroup() = default; // a new group, saved through the questions
    // Reads the group of an existing file. When there is no such file the group is empty
    // and FileName() is cleared, so that Save asks for a name. A file that exists but is
    // not readable text gives an empty group; readError() says why.
    explicit TSorvelGroup(const QString& fileName);

    QString FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString readError() const { return m_readError; }
    // False when the file was read but holds no "SorvelGroup" section: some other file
    // that merely carries the extension.
    bool HasSection() const { return m_hasSection; }

    // The list itself.
    int count() const { return int(m_lines.size()); }
    const QStringList& lines() const { return m_lines; }
    QString line(int index) const { return m_lines.at(index); }
    QString name(int index) const;  // before the first "="
    QString value(int index) const; // after it
    void add(const QString& line) { m_lines.append(line); }
    void clear() { m_lines.clear(); }

    // Appends "name=value": the sticky name without "=" ("blank" and the line's number for
    // a tab without one), then "*" for a locked tab and the address.
    void AddEntry(const QString& StickyName, const QString& Address, bool Locked);

    // Writes the section "SorvelGroup" of FileName, keeping the file's other sections. With
    // no FileName it asks questions for one (and, for an existing file, whether to overwrite
    // it); when questions is null or the user declines, nothing is written. On Failed,
    // *errorText is "Unable to write to <file>" and *reason the system's explanation.
    SaveResult Save(GroupSaveQuestions* questions, QString* errorText = nullptr,
                    QString* reason = nullptr);

private:
    QStringList m_lines;
    QString m_fileName;
    QString m_readError;
    bool m_hasSection = false;
};

// True when the extension of path, in upper case, is ".SGP".
bool IsPageGroupFile(const QString& path);

// The name an entry is stored under: "=" removed, and nothing the file format would read
// as something else. A name left empty becomes "blank" and lineNumber.
QString groupEntryName(const QString& stickyName, int lineNumber);
// Whether a name is one the program made for an entry without a sticky name: "blank"
// alone or followed by digits, in any letter case.
bool isGeneratedEntryName(const QString& name);
// `wanted`, or when another entry has it already (`used` holds names in small letters): the
// next free "blank" number from `lineNumber` for a made name, "Name (2)", "Name (3)", ...
// for a sticky one.
QString uniqueEntryName(const QString& wanted, int lineNumber, const QSet<QString>& used);
// How a stored entry opens: a generated name is no sticky name; a value
// that begins with "*" is a locked tab whose address is the rest.
PageGroupEntry interpretGroupEntry(const QString& name, const QString& value);
QList<PageGroupEntry> pageGroupEntries(const TSorvelGroup& group);
