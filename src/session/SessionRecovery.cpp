#include "session/SessionRecovery.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray RunMarker::toJson() const
{
    const QJsonObject root{{QStringLiteral("started"), startedMs},
                           {QStringLiteral("restored"), restored},
                           {QStringLiteral("settled"), settled}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<RunMarker> RunMarker::fromJson(const QByteArray& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    RunMarker marker;
    marker.startedMs = qint64(root.value(QStringLiteral("started")).toDouble());
    marker.restored = root.value(QStringLiteral("restored")).toBool();
    marker.settled = root.value(QStringLiteral("settled")).toBool();
    return marker;
}

SessionRecovery::Decision SessionRecovery::decide(bool markerFound,
                                                  const std::optional<RunMarker>& marker,
                                                  int savedTabs)
{
    if (!markerFound || savedTabs <= 0)
        return Decision::StartNormally;
    // The run before brought tabs back and ended within its first minute: those tabs may be
    // what ends the program, and restoring them again would repeat it for ever.
    if (marker && marker->restored && !marker->settled)
        return Decision::Ask;
    return Decision::Restore;
}
