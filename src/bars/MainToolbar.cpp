#include "bars/MainToolbar.h"

#include "bars/ToolbarIcons.h"
#include "commands/MainActions.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr const char* TagProperty = "toolbarTag";

struct Picture
{
    const char* name;
    const char* themeIcon; // freedesktop icon naming
};

constexpr Picture Pictures[] = {
    {"tbNew", "tab-new"},
    {"tbBack", "go-previous"},
    {"tbForward", "go-next"},
    {"tbStop", "process-stop"},
    {"tbRefresh", "view-refresh"},
    {"tbHome", "go-home"},
    {"tbSearch", "edit-find"},
    {"tbFavorites", "bookmarks"},
    {"tbVarloBar", "view-sidetree"},
    {"tbReadMail", "mail-read"},
    {"tbFont", "format-text-bold"},
    {"tbPrint", "document-print"},
    {"tbViewSource", "text-html"},
    {"tbLoadImages", "image-x-generic"},
    {"tbFullScreen", "view-fullscreen"},
};

} // namespace

MainToolbar::MainToolbar(const MainActions& actions, const MenuSource& menus, QWidget* parent)
    : QToolBar(QStringLiteral("Toolbar"), parent)
{
    setObjectName(QStringLiteral("tbMain"));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The band's grip moves the toolbar; the chevron takes what does not fit.
    setMovable(false);
    setFloatable(false);
    for (const ToolbarButton& described : ToolbarLayout::buttons()) {
        QAction* entry = nullptr;
        if (described.style == ToolbarButton::Style::Separator) {
            entry = addSeparator();
        } else {
            QAction* action = actions[described.action];
            action->setIcon(iconFor(described));
            action->setIconText(QString::fromUtf8(described.text));
            auto* button = new QToolButton(this);
            button->setObjectName(QString::fromLatin1(described.name));
            button->setAutoRaise(true);
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setDefaultAction(action);
            if (described.style == ToolbarButton::Style::DropDown) {
                if (QMenu* menu = menus ? menus(described.dropDown) : nullptr) {
                    button->setMenu(menu);
                    button->setPopupMode(QToolButton::MenuButtonPopup);
                }
            }
            entry = addWidget(button);
        }
        entry->setObjectName(QString::fromLatin1(described.name));
        entry->setProperty(TagProperty, described.tag);
    }
}

QAction* MainToolbar::entry(int tag) const
{
    const auto all = actions();
    for (QAction* action : all) {
        if (tagOf(action) == tag)
            return action;
    }
    return nullptr;
}

QToolButton* MainToolbar::button(int tag) const
{
    QAction* action = entry(tag);
    return action ? qobject_cast<QToolButton*>(widgetForAction(action)) : nullptr;
}

int MainToolbar::tagOf(const QAction* entry)
{
    const QVariant tag = entry ? entry->property(TagProperty) : QVariant();
    return tag.isValid() ? tag.toInt() : -1;
}

QIcon MainToolbar::iconFor(const ToolbarButton& button)
{
    for (const Picture& picture : Pictures) {
        if (qstrcmp(picture.name, button.name) == 0)
            return QIcon::fromTheme(QString::fromLatin1(picture.themeIcon),
                                    ToolbarIcons::drawn(picture.name));
    }
    return {};
}

ToolbarArrangement MainToolbar::arrangement() const
{
    ToolbarArrangement arrangement;
    const auto all = actions();
    for (const QAction* entry : all) {
        const int tag = tagOf(entry);
        if (tag >= 0)
            arrangement << ToolbarSlot{tag, entry->isVisible()};
    }
    return arrangement;
}

void MainToolbar::setArrangement(const ToolbarArrangement& arrangement)
{
    // Each named entry goes to the far right end in turn, leaving them in the given order.
    for (const ToolbarSlot& slot : arrangement) {
        QAction* found = entry(slot.tag);
        if (!found)
            continue;
        removeAction(found);
        addAction(found);
        found->setVisible(slot.shown);
    }
}

std::optional<int> MainToolbar::lastShownEdge() const
{
    const auto all = actions();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (!(*it)->isVisible())
            continue;
        if (const QWidget* widget = widgetForAction(*it))
            return widget->geometry().right() + 1;
    }
    return std::nullopt;
}

QList<MainToolbar::ButtonRow> MainToolbar::buttonRows() const
{
    QList<ButtonRow> rows;
    const auto all = actions();
    for (const QAction* entry : all) {
        const int tag = tagOf(entry);
        if (tag < 0)
            continue;
        ButtonRow row;
        row.tag = tag;
        row.shown = entry->isVisible();
        row.separator = entry->isSeparator();
        if (row.separator) {
            row.caption = QStringLiteral("Separator");
            row.description = QStringLiteral("-");
        } else if (const QToolButton* tool = button(tag); tool && tool->defaultAction()) {
            const QString hint = tool->defaultAction()->property("hint").toString();
            row.caption = MainActions::shortHint(hint);
            row.description = MainActions::longHint(hint);
            row.icon = tool->defaultAction()->icon();
        }
        rows << row;
    }
    return rows;
}
