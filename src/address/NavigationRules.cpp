#include "address/NavigationRules.h"

#include <QStringList>

namespace NavigationRules {

QString CompleteDomain(const QString& text, const QString& prefix, const QString& suffix)
{
    QString result = text;
    if (!result.startsWith(prefix, Qt::CaseSensitive))
        result.prepend(prefix);
    static const char* const known[] = {".com", ".com/", ".org", ".org/", ".net", ".net/"};
    for (const char* ending : known) {
        if (result.endsWith(QLatin1String(ending), Qt::CaseSensitive))
            return result;
    }
    if (result.endsWith(suffix, Qt::CaseSensitive) ||
        result.endsWith(suffix + QLatin1Char('/'), Qt::CaseSensitive))
        return result;
    return result + suffix;
}

QString CompleteDomain(const QString& text, Qt::KeyboardModifiers modifiers,
                       const DomainCompletion& strings)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (ctrl && shift)
        return CompleteDomain(text, strings.ctrlShiftPre, strings.ctrlShiftPost);
    if (ctrl)
        return CompleteDomain(text, strings.ctrlPre, strings.ctrlPost);
    if (shift)
        return CompleteDomain(text, strings.shiftPre, strings.shiftPost);
    return text;
}

} // namespace NavigationRules
