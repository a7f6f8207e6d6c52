#include "integration/ProfileCard.h"

#include "integration/VCardParser.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

using Page = ProfileCard::Page;

const QLatin1String DisplayName("vCard.DisplayName");

const QList<ProfileCard::Attribute> Attributes = {
    {"vCard.FirstName", "First name", Page::Personal},
    {"vCard.MiddleName", "Middle name", Page::Personal},
    {"vCard.LastName", "Last name", Page::Personal},
    {"vCard.DisplayName", "Display name", Page::Personal},
    {"vCard.Email", "E-mail address", Page::Personal},
    {"vCard.Home.StreetAddress", "Street address", Page::Personal},
    {"vCard.Home.City", "City", Page::Personal},
    {"vCard.Home.State", "State or province", Page::Personal},
    {"vCard.Home.Zipcode", "Postal code", Page::Personal},
    {"vCard.Home.Country", "Country", Page::Personal},
    {"vCard.Home.Phone", "Phone", Page::Personal},
    {"vCard.Home.Fax", "Fax", Page::Personal},
    {"vCard.Cellular", "Mobile phone", Page::Personal},
    {"vCard.Pager", "Pager", Page::Personal},
    {"vCard.Homepage", "Personal web page", Page::Personal},
    {"vCard.Gender", "Gender", Page::Personal},
    {"vCard.Notes", "Notes", Page::Personal},
    {"vCard.Company", "Company", Page::Business},
    {"vCard.Department", "Department", Page::Business},
    {"vCard.JobTitle", "Job title", Page::Business},
    {"vCard.Office", "Office", Page::Business},
    {"vCard.Business.StreetAddress", "Street address", Page::Business},
    {"vCard.Business.City", "City", Page::Business},
    {"vCard.Business.State", "State or province", Page::Business},
    {"vCard.Business.Zipcode", "Postal code", Page::Business},
    {"vCard.Business.Country", "Country", Page::Business},
    {"vCard.Business.Phone", "Phone", Page::Business},
    {"vCard.Business.Fax", "Fax", Page::Business},
    {"vCard.Business.URL", "Business web page", Page::Business},
};

const QHash<QString, QString>& canonicalNames()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> map;
        for (const auto& a : Attributes)
            map.insert(QString::fromLatin1(a.name).toLower(), QString::fromLatin1(a.name));
        map.insert(QStringLiteral("vcard.business.company"), QStringLiteral("vCard.Company"));
        map.insert(QStringLiteral("vcard.business.jobtitle"), QStringLiteral("vCard.JobTitle"));
        return map;
    }();
    return names;
}

// The parts of an address (ADR) as the profile names them, after "vCard.Home." or
// "vCard.Business.": post-office box and extended address are folded into the street.
// Answers whether it held anything.
bool takeAddress(ProfileCard& card, const QString& prefix, const VCardProperty& adr)
{
    const QStringList parts = adr.components();
    const auto part = [&](int i) { return i < parts.size() ? parts.at(i).trimmed() : QString(); };
    QStringList street;
    for (int i : {2, 1, 0}) {
        if (!part(i).isEmpty())
            street << part(i);
    }
    const std::pair<const char*, QString> fields[] = {
        {"StreetAddress", street.join(QStringLiteral(", "))},
        {"City", part(3)},
        {"State", part(4)},
        {"Zipcode", part(5)},
        {"Country", part(6)},
    };
    bool any = false;
    for (const auto& [name, value] : fields) {
        card.setAttribute(prefix + QLatin1String(name), value);
        any = any || !card.attribute(prefix + QLatin1String(name)).isEmpty();
    }
    return any;
}

bool isPreferred(const VCardProperty& p)
{
    return p.hasType(u"pref") || p.param(u"PREF") == QLatin1String("1");
}

QString telephoneNumber(const VCardProperty& p)
{
    QString number = p.text().trimmed();
    // 4.0 writes numbers as addresses: "TEL;VALUE=uri:tel:+1-555-0100".
    if (p.param(u"VALUE").compare(QLatin1String("uri"), Qt::CaseInsensitive) == 0 &&
        number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        number = number.mid(4);
    return number;
}

// The text an attribute may hold: lines end in LF, and control characters other than line
// breaks and tabs (a quoted-printable "=00", say) are dropped, so that the card stays text;
// so are byte-order marks, which a reader of the written card would take for its own.
QString cleanText(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\r')) {
            text += QLatin1Char('\n');
            if (i + 1 < value.size() && value.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if ((c.unicode() >= 0x20 && c.unicode() != 0xFEFF) || c == QLatin1Char('\n') ||
                   c == QLatin1Char('\t')) {
            text += c;
        }
    }
    return text;
}

// Which attribute a telephone number fills, by its types.
const char* telephoneAttribute(const VCardProperty& p)
{
    if (p.hasType(u"cell") || p.hasType(u"mobile"))
        return "vCard.Cellular";
    if (p.hasType(u"pager"))
        return "vCard.Pager";
    const bool work = p.hasType(u"work");
    if (p.hasType(u"fax"))
        return work ? "vCard.Business.Fax" : "vCard.Home.Fax";
    return work ? "vCard.Business.Phone" : "vCard.Home.Phone";
}

// GENDER (4.0) is a sex and a free text: "M", "F;woman", "O;intersex".
QString genderText(const QStringList& parts)
{
    const QString sex = parts.value(0).trimmed();
    if (sex.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Male");
    if (sex.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Female");
    const QString text = parts.mid(1).join(QLatin1Char(';')).trimmed();
    return text.isEmpty() ? sex : text;
}

// The parts of a structured value split at its unescaped semicolons, escapes left in.
QStringList rawComponents(const QString& raw)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) == QLatin1Char('\\'))
            ++i;
        else if (raw.at(i) == QLatin1Char(';')) {
            parts << raw.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << raw.mid(start);
    return parts;
}

// Text for a line of the written card: line breaks are "\n", other control characters go.
QString lineText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
        } else if (c.unicode() >= 0x20 || c == QLatin1Char('\t')) {
            out += c;
        }
    }
    return out;
}

// Whether `text` is a name as a card spells one: letters, digits and "-".
bool isToken(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
               (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
    });
}

// Whether a parameter's value can be written so that a reader reads it back: a card has no
// way to write a double quote or a control character inside one.
bool isWritable(const QString& value)
{
    return std::none_of(value.cbegin(), value.cend(), [](QChar c) {
        return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c == QLatin1Char('"');
    });
}

// What the program reads of a property's parameters besides its value: its types (a type
// that cannot be written names none the program knows), how its value is given and whether
// it is preferred.
bool sameMeaning(const VCardProperty& a, const VCardProperty& b)
{
    const auto types = [](const VCardProperty& p) {
        QStringList list;
        for (const auto& [name, value] : p.params) {
            if (name == QLatin1String("TYPE") && isWritable(value))
                list << value.toLower();
        }
        list.sort();
        list.removeDuplicates();
        return list;
    };
    return types(a) == types(b) && a.param(u"VALUE") == b.param(u"VALUE") &&
           a.param(u"PREF") == b.param(u"PREF");
}

// A property no attribute stands for, as one content line of a 3.0 card: its group, name,
// parameters and value as read. What reading undid is not written again: the value is
// decoded from quoted-printable and its character set, and the card is UTF-8; base64 is
// spelled as 3.0 spells it.
QString keptLine(const VCardProperty& p)
{
    // A property whose name is no name cannot be written as it was read: a name with a
    // blank before it would make a continuation of the line above, one with a control
    // character could come to name something else.
    if (!isToken(p.name) || (!p.group.isEmpty() && !isToken(p.group)))
        return {};
    // The card's frame is the writer's own: a "BEGIN" read as a property (its value spelt
    // with a control character) written back would begin another card.
    if (p.name == QLatin1String("BEGIN") || p.name == QLatin1String("END") ||
        p.name == QLatin1String("VERSION"))
        return {};
    QString line = p.group.isEmpty() ? p.name : p.group + QLatin1Char('.') + p.name;
    VCardProperty written = p;
    written.params.clear();
    for (const auto& [name, given] : p.params) {
        QString value = given;
        if (name == QLatin1String("CHARSET"))
            continue;
        // A parameter whose name is no name, or whose value holds control characters or a
        // double quote (a card has no way to write one inside a parameter), means nothing to
        // a reader. Written without them it could come to mean something ("T\x0fYPE=WORK"
        // would make a work address of another, TYPE=wo"r"k a work phone), so it is left out.
        if (!isToken(name) || !isWritable(value))
            continue;
        if (name == QLatin1String("ENCODING")) {
            if (value.compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) == 0)
                continue;
            if (value.compare(QLatin1String("BASE64"), Qt::CaseInsensitive) == 0)
                value = QStringLiteral("b");
        }
        written.params.append({name, value});
        // Quoted where a reader would otherwise end the value early or trim its blanks:
        // TYPE=" work" is no work phone, TYPE= work is one.
        const bool blankEnds =
            !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
        if (blankEnds || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char(':')) ||
            value.contains(QLatin1Char(',')))
            value = QLatin1Char('"') + value + QLatin1Char('"');
        line += QLatin1Char(';') + name + QLatin1Char('=') + value;
    }
    // Leaving a parameter out must not change what the property says (a second VALUE
    // coming first): such a property is left out instead.
    if (!sameMeaning(p, written))
        return {};
    return line + QLatin1Char(':') + lineText(p.raw);
}

} // namespace

const QList<ProfileCard::Attribute>& ProfileCard::attributes()
{
    return Attributes;
}

QString ProfileCard::canonicalName(QAnyStringView name)
{
    return canonicalNames().value(name.toString().trimmed().toLower());
}

QString ProfileCard::labelOf(QAnyStringView name)
{
    const QString canonical = canonicalName(name);
    for (const auto& a : Attributes) {
        if (canonical == QLatin1String(a.name))
            return QString::fromLatin1(a.label) +
                   (a.page == Page::Business &&
                            canonical.startsWith(QLatin1String("vCard.Business."))
                        ? QStringLiteral(" (business)")
                        : QString());
    }
    return name.toString();
}

QString ProfileCard::attribute(QAnyStringView name) const
{
    const QString canonical = canonicalName(name);
    if (canonical == DisplayName && !m_values.contains(canonical))
        return nameFromParts();
    return m_values.value(canonical); // none under the empty name
}

QString ProfileCard::storedAttribute(QAnyStringView name) const
{
    return m_values.value(canonicalName(name));
}

QString ProfileCard::nameFromParts() const
{
    QStringList parts;
    for (const char* name : {"vCard.FirstName", "vCard.MiddleName", "vCard.LastName"}) {
        const QString part = m_values.value(QLatin1String(name));
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

void ProfileCard::setAttribute(QAnyStringView name, const QString& value)
{
    const QString canonical = canonicalName(name);
    if (canonical.isEmpty())
        return;
    const QString text = cleanText(value).trimmed();
    if (text.isEmpty())
        m_values.remove(canonical);
    else
        m_values.insert(canonical, text);
}

ProfileCard ProfileCard::fromVCard(const VCardReadResult& read)
{
    ProfileCard card;
    // The first value for an attribute wins, except where a preferred one comes later.
    // Answers whether the value was taken.
    const auto offer = [&card](const char* name, const QString& value) {
        const QLatin1String attribute(name);
        if (!card.attribute(attribute).isEmpty())
            return false;
        card.setAttribute(attribute, value.trimmed());
        return !card.attribute(attribute).isEmpty();
    };
    // Which properties an attribute took its value from; the others are kept.
    QList<bool> taken(read.properties.size(), false);
    QString fullName;
    qsizetype email = -1;
    qsizetype homeAddress = -1;
    qsizetype workAddress = -1;
    bool named = false;
    for (qsizetype i = 0; i < read.properties.size(); ++i) {
        const VCardProperty& p = read.properties.at(i);
        const QString& n = p.name;
        bool& used = taken[i];
        if (n == QLatin1String("N")) {
            // A card has one name: a second is not written back.
            const QStringList parts = p.components();
            offer("vCard.LastName", parts.value(0));
            offer("vCard.FirstName", parts.value(1));
            offer("vCard.MiddleName", parts.value(2));
            if (!named) {
                const QStringList raw = rawComponents(p.raw);
                card.m_nameAffixes = {lineText(raw.value(3)), lineText(raw.value(4))};
                named = true;
            }
            used = true;
        } else if (n == QLatin1String("FN")) {
            // One formatted name too: the display name stands for it.
            if (fullName.isEmpty())
                fullName = cleanText(p.text()).trimmed();
            used = true;
        } else if (n == QLatin1String("EMAIL")) {
            if (email < 0 || (isPreferred(p) && !isPreferred(read.properties.at(email))))
                email = i;
        } else if (n == QLatin1String("TEL")) {
            used = offer(telephoneAttribute(p), telephoneNumber(p));
        } else if (n == QLatin1String("ADR")) {
            if (p.hasType(u"work")) {
                if (workAddress < 0)
                    workAddress = i;
            } else if (homeAddress < 0 ||
                       (p.hasType(u"home") && !read.properties.at(homeAddress).hasType(u"home"))) {
                homeAddress = i;
            }
        } else if (n == QLatin1String("ORG")) {
            const QStringList parts = p.components();
            const bool company = offer("vCard.Company", parts.value(0));
            const bool department = offer("vCard.Department", parts.value(1));
            const bool office = offer("vCard.Office", parts.value(2));
            used = company || department || office;
        } else if (n == QLatin1String("TITLE")) {
            used = offer("vCard.JobTitle", p.text());
        } else if (n == QLatin1String("URL")) {
            used = offer(p.hasType(u"work") ? "vCard.Business.URL" : "vCard.Homepage", p.text());
        } else if (n == QLatin1String("NOTE")) {
            used = offer("vCard.Notes", p.text());
        } else if (n == QLatin1String("GENDER")) {
            used = offer("vCard.Gender", genderText(p.components()));
        } else if (n == QLatin1String("X-GENDER")) {
            used = offer("vCard.Gender", p.text());
        }
    }
    // Every card has FN, and one written with the display name left empty repeats the
    // parts: kept, it would go on showing the old name after the parts are corrected.
    if (fullName != card.nameFromParts())
        card.setAttribute(DisplayName, fullName);
    if (email >= 0)
        taken[email] = offer("vCard.Email", read.properties.at(email).text());
    // A chosen address or e-mail that held nothing is kept in its place: written back
    // without it, another of the card's addresses would be chosen when it is read again.
    if (homeAddress >= 0)
        taken[homeAddress] =
            takeAddress(card, QStringLiteral("vCard.Home."), read.properties.at(homeAddress));
    if (workAddress >= 0)
        taken[workAddress] =
            takeAddress(card, QStringLiteral("vCard.Business."), read.properties.at(workAddress));
    for (qsizetype i = 0; i < read.properties.size(); ++i) {
        if (taken.at(i))
            continue;
        QString kept = keptLine(read.properties.at(i));
        // One of those that cannot be written as read still holds its place, empty.
        if (kept.isEmpty() && i == homeAddress)
            kept = QStringLiteral("ADR;TYPE=HOME:;;;;;;");
        else if (kept.isEmpty() && i == workAddress)
            kept = QStringLiteral("ADR;TYPE=WORK:;;;;;;");
        else if (kept.isEmpty() && i == email)
            kept = QStringLiteral("EMAIL;TYPE=PREF:");
        if (!kept.isEmpty())
            card.m_kept << kept;
    }
    return card;
}

QByteArray ProfileCard::toVCard() const
{
    const auto value = [this](const char* name) {
        return VCard::escaped(attribute(QLatin1String(name)));
    };
    const auto joined = [&](std::initializer_list<const char*> names) {
        QStringList parts;
        for (const char* name : names)
            parts << value(name);
        return parts.join(QLatin1Char(';'));
    };
    QByteArray out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    const auto line = [&out](const QString& text) { out += VCard::foldedLine(text); };
    line(QStringLiteral("N:") + joined({"vCard.LastName", "vCard.FirstName", "vCard.MiddleName"}) +
         QLatin1Char(';') + m_nameAffixes.first + QLatin1Char(';') + m_nameAffixes.second);
    // FN is required in 3.0: the display name, else the name's parts.
    line(QStringLiteral("FN:") + value("vCard.DisplayName"));

    const auto optional = [&](const QString& head, const char* name) {
        if (!attribute(QLatin1String(name)).isEmpty())
            line(head + value(name));
    };
    if (!attribute(u"vCard.Company").isEmpty() || !attribute(u"vCard.Department").isEmpty() ||
        !attribute(u"vCard.Office").isEmpty())
        line(QStringLiteral("ORG:") +
             joined({"vCard.Company", "vCard.Department", "vCard.Office"}));
    optional(QStringLiteral("TITLE:"), "vCard.JobTitle");
    optional(QStringLiteral("EMAIL;TYPE=INTERNET,PREF:"), "vCard.Email");
    optional(QStringLiteral("TEL;TYPE=HOME,VOICE:"), "vCard.Home.Phone");
    optional(QStringLiteral("TEL;TYPE=HOME,FAX:"), "vCard.Home.Fax");
    optional(QStringLiteral("TEL;TYPE=WORK,VOICE:"), "vCard.Business.Phone");
    optional(QStringLiteral("TEL;TYPE=WORK,FAX:"), "vCard.Business.Fax");
    optional(QStringLiteral("TEL;TYPE=CELL:"), "vCard.Cellular");
    optional(QStringLiteral("TEL;TYPE=PAGER:"), "vCard.Pager");
    for (const auto& [type, prefix] :
         {std::pair{"HOME", "vCard.Home."}, std::pair{"WORK", "vCard.Business."}}) {
        QStringList parts{QString(), QString()};
        bool any = false;
        for (const char* field : {"StreetAddress", "City", "State", "Zipcode", "Country"}) {
            const QString text = attribute(QLatin1String(prefix) + QLatin1String(field));
            any = any || !text.isEmpty();
            parts << VCard::escaped(text);
        }
        if (any)
            line(QStringLiteral("ADR;TYPE=%1:").arg(QLatin1String(type)) +
                 parts.join(QLatin1Char(';')));
    }
    optional(QStringLiteral("URL;TYPE=HOME:"), "vCard.Homepage");
    optional(QStringLiteral("URL;TYPE=WORK:"), "vCard.Business.URL");
    optional(QStringLiteral("NOTE:"), "vCard.Notes");
    optional(QStringLiteral("X-GENDER:"), "vCard.Gender");
    for (const QString& kept : m_kept)
        line(kept);
    out += "END:VCARD\r\n";
    return out;
}

namespace ProfileStore {

QString defaultPath()
{
    return QDir(Paths::programFolder()).filePath(QStringLiteral("profile.vcf"));
}

Loaded load(const QString& path)
{
    Loaded loaded;
    QFile file(path);
    if (!file.exists())
        return loaded;
    loaded.status = Status::Damaged;
    if (file.size() > VCard::MaxBytes) {
        loaded.error =
            QStringLiteral("The card is larger than %1 MiB.").arg(VCard::MaxBytes / 1024 / 1024);
        return loaded;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.error = file.errorString();
        return loaded;
    }
    const VCardReadResult read = VCard::read(file.read(VCard::MaxBytes + 1));
    if (!read.ok()) {
        loaded.error = read.error;
        return loaded;
    }
    loaded.card = ProfileCard::fromVCard(read);
    loaded.status = Status::Ok;
    return loaded;
}

bool save(const QString& path, const ProfileCard& card, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Paths::ensurePrivateFolder(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("The folder of %1 cannot be made.").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = card.toVCard();
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QString setAside(const QString& path, QString* error)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = info.dir().filePath(
        QStringLiteral("%1-damaged-%2.vcf").arg(info.completeBaseName(), stamp));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = info.dir().filePath(
            QStringLiteral("%1-damaged-%2-%3.vcf").arg(info.completeBaseName(), stamp).arg(n));
    if (!QFile::rename(path, target)) {
        if (error)
            *error = QStringLiteral("%1 could not be moved to %2.").arg(path, target);
        return {};
    }
    return target;
}

} // namespace ProfileStore
