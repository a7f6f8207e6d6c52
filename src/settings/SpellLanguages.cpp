#include "settings/SpellLanguages.h"

#include <QDir>
#include <QLocale>

namespace SpellLanguages {

QStringList available(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    QStringList languages;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.bdic")}, QDir::Files | QDir::Readable,
                               QDir::Name);
    for (const QString& file : files) {
        if (languages.size() >= MaxLanguages)
            break;
        languages << file.chopped(int(qstrlen(".bdic")));
    }
    return languages;
}

QString choose(const QString& chosen, const QString& localeName, const QStringList& available)
{
    const auto named = [&available](const QString& name) -> QString {
        for (const QString& candidate : available) {
            if (!name.isEmpty() && candidate.compare(name, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        return {};
    };
    if (available.isEmpty())
        return {};
    if (const QString own = named(chosen); !own.isEmpty())
        return own;
    // "de_AT.UTF-8@euro" is the language "de-AT".
    QString locale = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    locale.replace(QLatin1Char('_'), QLatin1Char('-'));
    const QString language = locale.section(QLatin1Char('-'), 0, 0);
    if (const QString exact = named(locale); !exact.isEmpty())
        return exact;
    for (const QString& candidate : available) {
        if (!language.isEmpty() &&
            candidate.section(QLatin1Char('-'), 0, 0).compare(language, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    const QString english = named(QStringLiteral("en-US"));
    return english.isEmpty() ? available.first() : english;
}

QString displayName(const QString& language)
{
    const QLocale locale(QString(language).replace(QLatin1Char('-'), QLatin1Char('_')));
    if (locale.language() == QLocale::C)
        return language;
    const QString name = locale.nativeLanguageName();
    const QString territory = locale.nativeTerritoryName();
    if (name.isEmpty())
        return language;
    return territory.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, territory);
}

} // namespace SpellLanguages
