#include "mail/MailRules.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace MailRules {

QString mailtoValue(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return QString::fromLatin1(QUrl::toPercentEncoding(clean));
}

QString sendLinkAddress(const QString& title, const QString& url)
{
    return QStringLiteral("mailto:?subject=") +
           mailtoValue(title + QStringLiteral(" (") + url + QLatin1Char(')')) +
           QStringLiteral("&body=") + mailtoValue(url);
}

AttachStyle attachStyleFor(const QStringList& startCommand)
{
    if (startCommand.isEmpty())
        return AttachStyle::XdgEmail;
    const QString program = QFileInfo(startCommand.first()).fileName().toLower();
    static const QRegularExpression mozilla(
        QStringLiteral("^(thunderbird|icedove|seamonkey|betterbird)(-bin)?$"));
    if (mozilla.match(program).hasMatch())
        return AttachStyle::ComposeOption;
    if (program == QLatin1String("evolution"))
        return AttachStyle::MailtoAttach;
    if (program == QLatin1String("kmail") || program == QLatin1String("claws-mail") ||
        program == QLatin1String("sylpheed"))
        return AttachStyle::AttachOption;
    return AttachStyle::XdgEmail;
}

QStringList attachCommand(const QStringList& startCommand, const QString& file,
                          const QString& xdgEmail)
{
    if (startCommand.isEmpty() || file.isEmpty())
        return {};
    switch (attachStyleFor(startCommand)) {
    case AttachStyle::ComposeOption: {
        // The compose option's own syntax separates fields with "," and quotes with "'":
        // the address may hold neither.
        QString address = QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
        address.replace(QLatin1Char(','), QLatin1String("%2C"));
        address.replace(QLatin1Char('\''), QLatin1String("%27"));
        return startCommand + QStringList{QStringLiteral("-compose"),
                                          QStringLiteral("attachment='%1'").arg(address)};
    }
    case AttachStyle::MailtoAttach:
        return startCommand + QStringList{QStringLiteral("mailto:?attach=") + mailtoValue(file)};
    case AttachStyle::AttachOption:
        return startCommand + QStringList{QStringLiteral("--attach"), file};
    case AttachStyle::XdgEmail:
        break;
    }
    if (xdgEmail.isEmpty())
        return {};
    return {xdgEmail, QStringLiteral("--utf8"), QStringLiteral("--attach"), file};
}

} // namespace MailRules
