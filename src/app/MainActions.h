#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAction;

// The main window's actions: caption, shortcut and hint shared by menu items and tool
// buttons. Hints are "short|long": the short part is the tool tip, the long part goes to
// the status bar.
class MainActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainActions)

public:
    explicit MainActions(QObject* parent);

    // The action of that name ("actNewBlank", "mnuTabLocked", ...); never null for a name
    // of the table (asserts otherwise).
    QAction* get(const char* name) const;
    QList<QAction*> all() const;

    // Splits a "short|long" hint.
    static QString shortHint(const QString& hint);
    static QString longHint(const QString& hint);
    // Gives an action (or menu item) its hint in both places.
    static void setHint(QAction* action, const QString& hint);

private:
    QHash<QByteArray, QAction*> m_actions;
};
