#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

// The item of `menu` shown with `caption` (mnemonic included), or null.
inline QAction* itemNamed(const QMenu* menu, const QString& caption)
{
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        if (item->text() == caption)
            return item;
    }
    return nullptr;
}
