#include "groups/SorvelGroup.h"

#include <QSet>

#include <algorithm>

#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QLatin1String Blank("blank");

QString withoutBreakingCharacters(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text.remove(QChar(u'\0'));
    return text;
}

bool isNameBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\v') ||
           c == QLatin1Char('\f');
}

} // namespace

TSorvelGroup::TSorvelGroup(const QString& fileName)
    : m_fileName(fileName)
{
    if (!QFileInfo(fileName).isFile()) {
        // A folder of that name is no group file either.
        m_fileName.clear();
        return;
    }
    const ProfileFile file = ProfileFile::load(fileName);
    if (file.status() != ProfileFile::Status::Ok) {
        m_readError = file.errorString();
        return;
    }
    // Values are read whole: the Windows profile functions stopped at 2047 characters,
    // which cut long addresses (search results, web applications) short.
    m_hasSection = file.hasSection(SorvelGroupTexts::Section);
    const auto entries = file.entries(SorvelGroupTexts::Section);
    for (const auto& [name, value] : entries) {
        // A lone CR does not end a line by the profile rules, but it is no part of a name or
        // an address: dropped here as AddEntry and Save drop it, so that a group read and
        // saved again holds the same tabs.
        const QString address = withoutBreakingCharacters(value);
        if (!address.isEmpty())
            m_lines.append(withoutBreakingCharacters(name) + QLatin1Char('=') + address);
    }
}

QString TSorvelGroup::name(int index) const
{
    const QString& line = m_lines.at(index);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.left(eq);
}

QString TSorvelGroup::value(int index) const
{
    const QString& line = m_lines.at(index);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

void TSorvelGroup::AddEntry(const QString& StickyName, const QString& Address, bool Locked)
{
    const QString address = withoutBreakingCharacters(Address);
    QSet<QString> used;
    for (int i = 0; i < count(); ++i)
        used.insert(name(i).trimmed().toLower());
    // The next number can be taken already (a hand-edited file, gaps in the numbering):
    // saving would then write this page over that one.
    m_lines.append(uniqueEntryName(groupEntryName(StickyName, count() + 1), count() + 1, used) +
                   QLatin1Char('=') + (Locked ? QLatin1String("*") : QLatin1String()) + address);
}

TSorvelGroup::SaveResult TSorvelGroup::Save(GroupSaveQuestions* questions, QString* errorText,
                                            QString* reason)
{
    QString path = m_fileName;
    if (path.isEmpty()) {
        if (!questions)
            return SaveResult::Cancelled;
        const QString folder = Paths::groupsFolder();
        Paths::ensurePrivateFolder(folder); // without it the dialog would start elsewhere
        path = questions->askFileName(folder);
        if (path.isEmpty())
            return SaveResult::Cancelled;
        if (QFileInfo::exists(path) &&
            questions->askOverwrite(path) != GroupSaveQuestions::Answer::Yes)
            return SaveResult::Cancelled;
    }
    m_fileName = path;

    auto fail = [&](const QString& why) {
        if (errorText)
            *errorText = QString(SorvelGroupTexts::WriteError).arg(QDir::toNativeSeparators(path));
        if (reason)
            *reason = why;
        return SaveResult::Failed;
    };

    ProfileFile file = ProfileFile::load(path);
    if (file.status() != ProfileFile::Status::Ok && file.status() != ProfileFile::Status::Missing)
        return fail(file.errorString()); // never replace what could not be read
    file.removeSection(SorvelGroupTexts::Section);
    QSet<QString> used;
    for (int i = 0; i < count(); ++i) {
        // Lines added by hand are made storable the same way AddEntry makes its own, and
        // every name is written once: a name given twice would lose the first page.
        const QString entryName = uniqueEntryName(groupEntryName(name(i), i + 1), i + 1, used);
        used.insert(entryName.toLower());
        QString error;
        if (!file.setValue(SorvelGroupTexts::Section, entryName,
                           withoutBreakingCharacters(value(i)), &error))
            return fail(error);
    }
    QString error;
    if (!file.saveAs(path, &error))
        return fail(error);
    return SaveResult::Saved;
}

bool IsPageGroupFile(const QString& path)
{
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && fileName.mid(dot).toUpper() == QLatin1String(".SGP");
}

QString groupEntryName(const QString& stickyName, int lineNumber)
{
    QString name = withoutBreakingCharacters(stickyName);
    name.remove(QLatin1Char('='));
    // Outer blanks are lost on reading anyway; a leading "[" or ";" would be read as a
    // section header or a comment and would break the group.
    qsizetype begin = 0;
    while (begin < name.size() && (isNameBlank(name[begin]) || name[begin] == QLatin1Char('[') ||
                                   name[begin] == QLatin1Char(';')))
        ++begin;
    qsizetype end = name.size();
    while (end > begin && isNameBlank(name[end - 1]))
        --end;
    name = name.sliced(begin, end - begin);
    // Also a sticky name made only of "=": an entry without a name would never be read back.
    if (name.isEmpty())
        return Blank + QString::number(lineNumber);
    return name;
}

bool isGeneratedEntryName(const QString& name)
{
    if (!name.startsWith(Blank, Qt::CaseInsensitive))
        return false;
    const QStringView number = QStringView(name).mid(Blank.size());
    return std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
}

QString uniqueEntryName(const QString& wanted, int lineNumber, const QSet<QString>& used)
{
    if (!used.contains(wanted.toLower()))
        return wanted;
    if (isGeneratedEntryName(wanted)) {
        for (int n = lineNumber;; ++n) {
            const QString candidate = Blank + QString::number(n);
            if (!used.contains(candidate))
                return candidate;
        }
    }
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)").arg(wanted).arg(n);
        if (!used.contains(candidate.toLower()))
            return candidate;
    }
}

PageGroupEntry interpretGroupEntry(const QString& name, const QString& value)
{
    PageGroupEntry entry;
    // Only "blank" and "blank" with a number are names the program made; "Blanket Co." is
    // the user's.
    if (!isGeneratedEntryName(name))
        entry.stickyName = name;
    entry.locked = value.startsWith(QLatin1Char('*'));
    entry.address = entry.locked ? value.mid(1) : value;
    return entry;
}

QList<PageGroupEntry> pageGroupEntries(const TSorvelGroup& group)
{
    QList<PageGroupEntry> entries;
    entries.reserve(group.count());
    for (int i = 0; i < group.count(); ++i)
        entries.append(interpretGroupEntry(group.name(i), group.value(i)));
    return entries;
}
