#pragma once

#include <QHash>
#include <QString>

class ProfileFile;

// Which of the user's data a fill uses: the commands "FormFiller - Business" (0) and
// "FormFiller - Personal" (1).
enum class ProfileKind
{
    Business = 0,
    Personal = 1
};

// A field of a page as the walk over the page found it.
struct FormField
{
    QString name;                          // its name attribute, as the page gives it
    QString autocomplete;                  // its autocomplete attribute, empty without
    QString type = QStringLiteral("text"); // its type attribute (InputTypes::isFilled)
};

// "formfiller.ini": which profile attribute a form field asks for. The section "General"
// is looked up first, then "Personal" or "Business" by the kind of fill; keys are field
// names compared without regard to case, an empty value counts as no entry. A field the
// file does not name is mapped by its autocomplete attribute when it has one the profile
// can answer, else its own name is taken as the attribute name.
class FieldMap final
{
public:
    FieldMap() = default; // no file: only the autocomplete attributes and the names
    explicit FieldMap(const ProfileFile& file);

    // The user's own "formfiller.ini" in the program folder when there is one, else the one
    // installed with the program. The program never writes either. A file that is there but
    // cannot be read (too large, not text, not allowed) gives no entries, and *error says
    // why; none at all is no error.
    static FieldMap load(const QString& programFolder, const QString& sharedFolder,
                         QString* error = nullptr);
    static QString fileName() { return QStringLiteral("formfiller.ini"); }

    QString attributeFor(const FormField& field, ProfileKind kind) const;

    // The attribute an autocomplete value stands for ("given-name", "work tel",
    // "shipping postal-code"); empty when the profile has nothing for it ("off", "cc-number").
    // The address and telephone of the kind of fill are used unless the value names home
    // or work.
    static QString attributeForAutocomplete(QStringView autocomplete, ProfileKind kind);

private:
    using Section = QHash<QString, QString>; // folded field name -> attribute
    static Section read(const ProfileFile& file, const QString& section);

    Section m_general;
    Section m_personal;
    Section m_business;
};
