#include "formfiller/FieldMapping.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString folded(QStringView name)
{
    return name.toString().toCaseFolded();
}

// The autocomplete field names the profile can answer. An attribute without "Home." or
// "Business." that ends in "@" takes the part of the address or telephone of the fill.
struct AutocompleteRow
{
    const char* token;
    const char* attribute;
};
constexpr AutocompleteRow AutocompleteRows[] = {
    {"name", "vCard.DisplayName"},
    {"given-name", "vCard.FirstName"},
    {"additional-name", "vCard.MiddleName"},
    {"family-name", "vCard.LastName"},
    {"email", "vCard.Email"},
    {"organization", "vCard.Company"},
    {"organization-title", "vCard.JobTitle"},
    {"sex", "vCard.Gender"},
    {"street-address", "@StreetAddress"},
    {"address-line1", "@StreetAddress"},
    {"address-level2", "@City"},
    {"address-level1", "@State"},
    {"postal-code", "@Zipcode"},
    {"country-name", "@Country"},
    {"tel", "@Phone"},
    {"tel-national", "@Phone"},
};

} // namespace

FieldMap::FieldMap(const ProfileFile& file)
    : m_general(read(file, QStringLiteral("General")))
    , m_personal(read(file, QStringLiteral("Personal")))
    , m_business(read(file, QStringLiteral("Business")))
{}

FieldMap::Section FieldMap::read(const ProfileFile& file, const QString& section)
{
    Section map;
    for (const auto& [key, value] : file.entries(section)) {
        if (!value.isEmpty())
            map.insert(folded(key), value);
    }
    return map;
}

FieldMap FieldMap::load(const QString& programFolder, const QString& sharedFolder, QString* error)
{
    const QString own = QDir(programFolder).filePath(fileName());
    const ProfileFile file =
        ProfileFile::load(QFileInfo::exists(own) ? own : QDir(sharedFolder).filePath(fileName()));
    const auto status = file.status();
    if (error)
        *error = status == ProfileFile::Status::Ok || status == ProfileFile::Status::Missing
                     ? QString()
                     : file.errorString();
    return FieldMap(file);
}

QString FieldMap::attributeFor(const FormField& field, ProfileKind kind) const
{
    const QString key = folded(field.name);
    QString attribute = m_general.value(key);
    if (attribute.isEmpty())
        attribute = (kind == ProfileKind::Personal ? m_personal : m_business).value(key);
    if (attribute.isEmpty())
        attribute = attributeForAutocomplete(field.autocomplete, kind);
    return attribute.isEmpty() ? field.name : attribute;
}

QString FieldMap::attributeForAutocomplete(QStringView autocomplete, ProfileKind kind)
{
    const QStringList tokens =
        autocomplete.toString().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return {};
    const QString& name = tokens.last();
    // The contact hint before the field name ("work tel", "home email").
    const QString hint = tokens.size() >= 2 ? tokens.at(tokens.size() - 2) : QString();
    if (name.startsWith(QLatin1String("tel"))) {
        if (hint == QLatin1String("mobile"))
            return QStringLiteral("vCard.Cellular");
        if (hint == QLatin1String("pager"))
            return QStringLiteral("vCard.Pager");
    }
    const bool work = hint == QLatin1String("work") ||
                      (hint != QLatin1String("home") && kind == ProfileKind::Business);
    // The card keeps one web page of each kind, under names of their own.
    if (name == QLatin1String("url"))
        return work ? QStringLiteral("vCard.Business.URL") : QStringLiteral("vCard.Homepage");
    for (const AutocompleteRow& row : AutocompleteRows) {
        if (name != QLatin1String(row.token))
            continue;
        QString attribute = QLatin1String(row.attribute);
        if (!attribute.startsWith(QLatin1Char('@')))
            return attribute;
        QString part = attribute.mid(1);
        if (hint == QLatin1String("fax") && part == QLatin1String("Phone"))
            part = QStringLiteral("Fax");
        return (work ? QStringLiteral("vCard.Business.") : QStringLiteral("vCard.Home.")) + part;
    }
    return {};
}
