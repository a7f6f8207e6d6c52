#pragma once

#include "platform/FolderMenu.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QMenu;
class QToolButton;

// The links bar: a flat row of buttons made from the Links folder, one per entry. A file
// (or an empty folder) is a link; a folder with entries drops its whole subtree down as a
// menu. The same tree, followed by "Customize...", is LinksMenu(), which the chevron drops
// down whole. The bar reads its folder when made and on Refresh(); whoever watches the
// folder calls Refresh() on a change.
class TLinksBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TLinksBar)

public:
    // `folder` ends with "/"; a folder that does not exist leaves the bar empty.
    // The picture for a shortcut's address: the site's own icon where the engine has one
    // (null otherwise, and the page icon stays).
    using IconLookup = std::function<QIcon(const QString& address)>;

    explicit TLinksBar(const QString& folder, IconLookup icons = {}, QWidget* parent = nullptr);

    QString LinksFolder() const { return m_folder; }
    // The root menu: every link and folder of the bar, a separator and "Customize...";
    // empty while the folder is missing.
    QMenu* LinksMenu() const { return m_linksMenu; }
    // What the chevron drops down: the whole LinksMenu, or nothing without a folder.
    QMenu* chevronMenu() const { return m_linksMenu->isEmpty() ? nullptr : m_linksMenu; }
    // Whether some button does not fit, so that the chevron is wanted.
    bool overflowing() const { return m_overflowing; }
    QList<QToolButton*> buttons() const { return m_buttons; }

    // Reads the folder again and rebuilds menu and buttons.
    void Refresh();

    // With its own chevron (the default) the bar shows the buttons that fit and a chevron
    // for the rest. Without, it lays every button out in a row and leaves the cut and the
    // chevron to the band that holds it.
    void setOwnChevron(bool own);
    void setIconLookup(IconLookup lookup); // and reads the folder again

    // Longest caption a button shows in full; longer ones end in "...".
    static constexpr int MaxButtonWidth = 180;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A link was chosen: its address (from an Internet shortcut) or its file's path.
    void OnLinkClick(const QString& address);
    void OnCustomize();
    // A Refresh() is done: the chevron menu may have come or gone with the folder.
    void refreshed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // One level of the folder, shortcuts with their sites' icons where known.
    QList<FolderMenuEntry> readLevel(const QString& folder) const;
    void BuildLinksMenu(const QString& folder, QMenu* item);
    void CreateLinkButtons();
    void appendCustomize();
    void clearButtons();
    void placeButtons();

    const QString m_folder;
    IconLookup m_icons;
    QMenu* m_linksMenu;
    QToolButton* m_chevron;
    QList<QToolButton*> m_buttons;
    QList<FolderMenuEntry> m_entries; // the top level, as the buttons show it
    bool m_overflowing = false;
    bool m_ownChevron = true;
};
