#pragma once

#include "bars/ToolbarFile.h"
#include "commands/MenuLayout.h"

#include <QToolBar>

#include <functional>
#include <optional>

class MainActions;
class QToolButton;

// The main toolbar ("tbMain"), built from the toolbar description: one entry per button in
// tag order, each carrying its tag, so that a saved layout can reorder and hide them.
class MainToolbar final : public QToolBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainToolbar)

public:
    using MenuSource = std::function<QMenu*(MenuId)>;
    MainToolbar(const MainActions& actions, const MenuSource& menus, QWidget* parent);

    // The toolbar's entry for the button with that tag (a separator's too); null for none.
    QAction* entry(int tag) const;
    // The tool button of that tag; null for a separator or no such tag.
    QToolButton* button(int tag) const;
    // The tag of a toolbar entry, -1 for an entry that is none of the buttons.
    static int tagOf(const QAction* entry);

    // The buttons' order and which are shown, and putting them so.
    ToolbarArrangement arrangement() const;
    void setArrangement(const ToolbarArrangement& arrangement);
    // The right edge of the last shown button; empty when none is shown.
    std::optional<int> lastShownEdge() const;

    // One button as the customize dialog lists it.
    struct ButtonRow
    {
        int tag = 0;
        bool separator = false;
        QString caption;     // the short part of its hint
        QString description; // the long part
        QIcon icon;
        bool shown = true;
    };
    QList<ButtonRow> buttonRows() const;

    // The picture of a button: the desktop theme's where it has one, our own drawn one
    // otherwise.
    static QIcon iconFor(const ToolbarButton& button);
};
