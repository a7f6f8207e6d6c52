#include "session/SessionState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int Format = 1;
// A session holds a few hundred tabs at the most; the limit keeps a damaged or hostile
// file from filling the strip with thousands of engines.
constexpr int MaxTabs = 2000;

} // namespace

QByteArray SessionState::toJson() const
{
    QJsonArray list;
    for (const SessionTab& tab : tabs) {
        QJsonObject item{{QStringLiteral("address"), tab.address},
                         {QStringLiteral("title"), tab.title}};
        if (!tab.homeUrl.isEmpty())
            item.insert(QStringLiteral("homeUrl"), tab.homeUrl);
        if (!tab.stickyName.isEmpty())
            item.insert(QStringLiteral("stickyName"), tab.stickyName);
        if (tab.locked)
            item.insert(QStringLiteral("locked"), true);
        if (tab.hideFromCloseAll)
            item.insert(QStringLiteral("hideFromCloseAll"), true);
        if (!tab.scroll.isNull())
            item.insert(QStringLiteral("scroll"), QJsonArray{tab.scroll.x(), tab.scroll.y()});
        list.append(item);
    }
    const QJsonObject root{{QStringLiteral("format"), Format},
                           {QStringLiteral("active"), active},
                           {QStringLiteral("tabs"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<SessionState> SessionState::fromJson(const QByteArray& text, QString* error)
{
    const auto fail = [error](const QString& why) -> std::optional<SessionState> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not readable (%1 at byte %2)")
                        .arg(parse.errorString())
                        .arg(parse.offset));
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QStringLiteral("format")).toInt() != Format)
        return fail(QStringLiteral("not a session of this version of Pelvane"));
    const QJsonArray list = root.value(QStringLiteral("tabs")).toArray();
    if (list.size() > MaxTabs)
        return fail(QStringLiteral("it holds %1 tabs, more than %2").arg(list.size()).arg(MaxTabs));

    SessionState state;
    int active = root.value(QStringLiteral("active")).toInt(-1);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject item = list.at(i).toObject();
        SessionTab tab;
        tab.address = item.value(QStringLiteral("address")).toString();
        if (tab.address.isEmpty()) {
            if (i < active)
                --active; // the active tab keeps its place among those kept
            continue;
        }
        tab.title = item.value(QStringLiteral("title")).toString();
        tab.homeUrl = item.value(QStringLiteral("homeUrl")).toString();
        tab.stickyName = item.value(QStringLiteral("stickyName")).toString();
        tab.locked = item.value(QStringLiteral("locked")).toBool();
        tab.hideFromCloseAll = item.value(QStringLiteral("hideFromCloseAll")).toBool();
        const QJsonArray scroll = item.value(QStringLiteral("scroll")).toArray();
        if (scroll.size() == 2)
            tab.scroll = QPointF(scroll.at(0).toDouble(), scroll.at(1).toDouble());
        state.tabs << tab;
    }
    state.active = state.tabs.isEmpty() ? -1
                   : (active >= 0 && active < state.tabs.size()) ? active
                                                                 : 0;
    return state;
}
