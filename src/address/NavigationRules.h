#pragma once

#include <QString>
#include <Qt>

// The decisions of address entry and of opening addresses, as plain functions of their
// inputs.
namespace NavigationRules {

// The six strings that Ctrl, Shift and Ctrl+Shift with Enter put round a typed text.
struct DomainCompletion
{
    QString ctrlPre = QStringLiteral("http://www.");
    QString ctrlPost = QStringLiteral(".com");
    QString shiftPre = QStringLiteral("http://www.");
    QString shiftPost = QStringLiteral(".net");
    QString ctrlShiftPre = QStringLiteral("http://www.");
    QString ctrlShiftPost = QStringLiteral(".org");
};

// The text that Enter commits with these modifier keys held: unchanged without Ctrl and
// Shift; otherwise the pair of the keys held is put round it. The prefix goes in front
// unless the text already begins with it; the suffix is appended unless the text already
// ends with ".com", ".org" or ".net" (each also followed by "/"), or with the suffix (also
// followed by "/"). Every comparison is exact, letter case included.
QString CompleteDomain(const QString& text, Qt::KeyboardModifiers modifiers,
                       const DomainCompletion& strings);
// The same for one given pair.
QString CompleteDomain(const QString& text, const QString& prefix, const QString& suffix);

} // namespace NavigationRules
