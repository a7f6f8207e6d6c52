#include "commands/MainActions.h"

#include <QAction>

namespace {

constexpr ActionRow Rows[] = {
#define PELVANE_ACTION_ROW(id, caption, shortcut, hint, kind)                                      \
    {ActionId::id, #id, caption, shortcut, hint, ActionKind::kind == ActionKind::Check},
    PELVANE_ACTIONS(PELVANE_ACTION_ROW)
#undef PELVANE_ACTION_ROW
};

} // namespace

const ActionRow* ActionTable::begin()
{
    return std::begin(Rows);
}

const ActionRow* ActionTable::end()
{
    return std::end(Rows);
}

const ActionRow& ActionTable::row(ActionId id)
{
    return Rows[std::size_t(id)];
}

MainActions::MainActions(QObject* parent)
    : QObject(parent)
{
    for (const ActionRow& row : Rows) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (*row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        // The keyboard table runs these keys; the shortcut is shown in the menus.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setCheckable(row.checkable);
        setHint(action, QString::fromUtf8(row.hint));
        m_actions[std::size_t(row.id)] = action;
    }
}

QList<QAction*> MainActions::all() const
{
    return {m_actions.begin(), m_actions.end()};
}

QString MainActions::shortHint(const QString& hint)
{
    return hint.section(QLatin1Char('|'), 0, 0);
}

QString MainActions::longHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void MainActions::setHint(QAction* action, const QString& hint)
{
    action->setToolTip(shortHint(hint));
    action->setStatusTip(longHint(hint));
    action->setProperty("hint", hint);
}
