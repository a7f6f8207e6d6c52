#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

struct VCardReadResult;

// The user's own card: the personal and business attributes that the form filler shares
// with a page, under the names of the user-profile interface ("vCard.FirstName",
// "vCard.Home.City", ...). Kept as a vCard file, "profile.vcf" in the program folder.
class ProfileCard final
{
public:
    enum class Page
    {
        Personal,
        Business
    };
    struct Attribute
    {
        const char* name;  // "vCard.Home.City"
        const char* label; // "City", as the My Profile dialog shows it
        Page page;
    };

    // Every attribute, in the order the dialog shows them.
    static const QList<Attribute>& attributes();
    // The attribute's name as the table spells it, for any spelling without regard to case
    // ("VCARD.EMAIL"); "vCard.Business.Company" and "vCard.Business.JobTitle" stand for
    // vCard.Company and vCard.JobTitle. Empty when it is not an attribute.
    static QString canonicalName(QAnyStringView name);
    // The label of an attribute for the user ("E-mail address"); the name itself when it is
    // not one.
    static QString labelOf(QAnyStringView name);

    // Empty for an attribute not stored, and for a name that is not an attribute. A display
    // name not stored is the name's parts, "First Middle Last", as they are now.
    QString attribute(QAnyStringView name) const;
    // The same without that: what the user gave, for editing.
    QString storedAttribute(QAnyStringView name) const;
    // Names that are not attributes are ignored; an empty value removes the attribute. The
    // value is kept trimmed, its lines ending in LF, without other control characters.
    void setAttribute(QAnyStringView name, const QString& value);
    bool isEmpty() const { return m_values.isEmpty() && m_kept.isEmpty(); }
    bool operator==(const ProfileCard& other) const
    {
        return m_values == other.m_values && m_kept == other.m_kept &&
               m_nameAffixes == other.m_nameAffixes;
    }

    // The attributes of a card an address book wrote (vCard 2.1, 3.0 or 4.0): the name, the
    // preferred e-mail address, the home and work addresses, telephone numbers by their
    // types, the organisation, title, web pages, note and gender. A formatted name (FN) that
    // only repeats the name's parts is not stored as the display name. Every other
    // property is kept as read, and so are the name's prefix and suffix.
    static ProfileCard fromVCard(const VCardReadResult& card);
    // The card as vCard 3.0 text, CR LF line ends, long lines folded: the attributes, then
    // the kept properties.
    QByteArray toVCard() const;

private:
    QString nameFromParts() const;

    QHash<QString, QString> m_values; // by canonical name
    // The content lines (unfolded, without line end) of the read card's properties that no
    // attribute stands for, in the card's order: a photo, a birthday, a second address,
    // the address book's own lines.
    QStringList m_kept;
    // The honorific prefix and suffix of the name (N), still escaped as read.
    std::pair<QString, QString> m_nameAffixes;
};

// Where the card is kept and how it is read and written.
namespace ProfileStore {

enum class Status
{
    Ok,
    Missing, // no card yet: an empty profile
    Damaged  // a file that is there but could not be read; see error
};

struct Loaded
{
    ProfileCard card;
    Status status = Status::Missing;
    QString error; // in words, for Damaged
};

QString defaultPath(); // profile.vcf in the program folder

Loaded load(const QString& path);
// Whole file, written to a temporary file and renamed over the old one, readable by this
// user only. On failure the old file is left as it was and *error says why.
bool save(const QString& path, const ProfileCard& card, QString* error = nullptr);
// Moves a damaged card out of the way ("profile-damaged-<date>.vcf" beside it), so that a
// new card never silently replaces it. The new path, or empty (with *error) on failure.
QString setAside(const QString& path, QString* error = nullptr);

} // namespace ProfileStore
