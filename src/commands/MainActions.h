#pragma once

#include "commands/ActionId.h"

#include <QObject>
#include <QString>

#include <array>

class QAction;

// The main window's actions, one QAction per ActionId, made from the action table.
class MainActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainActions)

public:
    explicit MainActions(QObject* parent);

    QAction* get(ActionId id) const { return m_actions[std::size_t(id)]; }
    QAction* operator[](ActionId id) const { return get(id); }
    QList<QAction*> all() const;

    // Splits a "short|long" hint.
    static QString shortHint(const QString& hint);
    static QString longHint(const QString& hint);
    // Gives an action (or menu item) its hint in both places.
    static void setHint(QAction* action, const QString& hint);

private:
    std::array<QAction*, ActionTable::count()> m_actions{};
};
