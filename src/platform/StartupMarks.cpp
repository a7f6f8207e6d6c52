#include "platform/StartupMarks.h"

#include <QElapsedTimer>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcStartup, "pelvane.startup", QtWarningMsg)

namespace StartupMarks {

namespace {

constexpr qsizetype LongestLine = 200;

} // namespace

void mark(const char* step)
{
    if (!lcStartup().isInfoEnabled())
        return;
    QElapsedTimer now;
    now.start();
    qCInfo(lcStartup).noquote() << text(Mark{QString::fromLatin1(step), now.msecsSinceReference()});
}

QString text(const Mark& mark)
{
    return QStringLiteral("startup %1 at %2").arg(mark.step).arg(mark.ms);
}

std::optional<Mark> read(QStringView line)
{
    if (line.size() > LongestLine)
        return std::nullopt;
    // Whatever the message pattern puts before the message (the category by default).
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|\\s)startup ([a-z][a-z-]{0,31}) at (\\d{1,15})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(line.toString());
    if (!match.hasMatch())
        return std::nullopt;
    return Mark{match.captured(1), match.captured(2).toLongLong()};
}

} // namespace StartupMarks
