#pragma once

#include <QString>
#include <QStringView>

// Which input fields a fill types into, and which values each kind of field takes. A page's
// own check of a field (an e-mail field that holds no address, a number field that holds a
// word) would refuse the form, so a value of the wrong kind is better not typed at all.
namespace InputTypes {

// The type a walk reports for an input without a type attribute.
inline constexpr QLatin1StringView Text{"text"};

// Whether an input of `type`, exactly as the page wrote it, is filled: text, search, email,
// tel, url and number. Passwords, dates, check boxes, hidden inputs and a type written in
// capitals are left alone.
bool isFilled(QStringView type);

// Whether a field of `type` takes `value`: text and search fields any text; an email field
// one address (local part, "@", a domain of letters, digits and hyphens); a tel field a
// telephone number (digits with blanks, "+", "-", ".", "/" and brackets); a url field an
// absolute web or ftp address with a host; a number field a number as forms write it
// ("-12", "3.5", "1e3"). Never a type that is not filled.
bool takes(QStringView type, QStringView value);

} // namespace InputTypes
