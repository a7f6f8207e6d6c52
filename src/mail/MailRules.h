#pragma once

#include <QString>
#include <QStringList>

// The pure rules of the mail commands: the "mailto:" texts and the command lines that
// hand a page to a mail program. Functions from their inputs to a result.
namespace MailRules {

// A text as a "mailto:" header value (RFC 6068): UTF-8, everything but the unreserved
// characters percent-encoded, so "&", "#", "?", "%" and line breaks cannot end or change
// the header. Control characters become blanks first: no title means them.
QString mailtoValue(const QString& text);

// The message that carries a link: subject "T (U)", body "U".
QString sendLinkAddress(const QString& title, const QString& url);

// How a mail program is given an attachment.
enum class AttachStyle
{
    XdgEmail,      // the desktop's "xdg-email --attach", for any other program
    ComposeOption, // Thunderbird and its family: -compose "attachment='file:///...'"
    MailtoAttach,  // Evolution: a "mailto:?attach=" address
    AttachOption,  // KMail, Claws Mail, Sylpheed: --attach FILE
};
// The style for the program a start command runs (its first word).
AttachStyle attachStyleFor(const QStringList& startCommand);

// The command that opens a new message with `file` attached in the program that
// `startCommand` starts (its Exec line without codes). `xdgEmail` is the xdg-email
// program, empty when it is not installed. Empty when there is no way.
QStringList attachCommand(const QStringList& startCommand, const QString& file,
                          const QString& xdgEmail);

} // namespace MailRules
