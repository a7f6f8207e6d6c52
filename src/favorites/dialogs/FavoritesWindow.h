#pragma once

#include <QFrame>

class FavoritesPane;
class QAction;
class RegistryHive;
class SideBarHost;
class SideBarQuestions;

// The floating favorites window under the toolbar's Favorites button: a sizeable window
// without a caption holding the favorites tree and its toolbar (Add, Organize, New Folder,
// Refresh and the find), the same pane as the side bar's. Sized from "FavoritesWidth" and
// "FavoritesHeight" and saving them when it hides; Esc hides it, and so does the main
// window coming to the front again.
class TfrmFavorites final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmFavorites)

public:
    TfrmFavorites(SideBarHost& host, RegistryHive& hive, SideBarQuestions& questions,
                  QAction* addToFavorites, QAction* organizeFavorites, QWidget* mainWindow);

    FavoritesPane* pane() const { return m_pane; }
    // Shows it with its top left corner at `topLeft` (global), unless it is shown already.
    void showAt(const QPoint& topLeft);
    // The Favorites folder changed: the tree is read again now when shown, else when next
    // shown.
    void folderChanged();

Q_SIGNALS:
    void hidden();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RegistryHive& m_hive;
    FavoritesPane* m_pane = nullptr;
    bool m_filled = false;
    bool m_stale = false; // the folder changed while the window was hidden
};
