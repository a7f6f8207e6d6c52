#pragma once

#include "browser/strip/TabColors.h"
#include "browser/strip/TabLayout.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class QStackedWidget;
class TPVTabStrip;

// The program's page control: pages in a stack with a strip of tabs that we draw ourselves
// in two colour pairs (the selected tab in the button colours, the others in
// InactiveTabColor and InactiveFontColor), at the top or the bottom, in one scrolling row or
// in several rows. A page's tab may be hidden; tab indexes count the shown tabs only. The
// hint of the tab under the mouse appears just below that tab, and with AllowTabShifting the
// active tab can be dragged to another place.
//
// The control keeps, for every page, its caption, hint, image index and tab visibility,
// keyed by the page widget. Pages are owned by the control once added; deleting a page
// removes it. Setters repaint the strip.
class TPVPageControl : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPVPageControl)
    Q_PROPERTY(qint32 InactiveTabColor READ InactiveTabColor WRITE SetInactiveTabColor)
    Q_PROPERTY(qint32 InactiveFontColor READ InactiveFontColor WRITE SetInactiveFontColor)
    Q_PROPERTY(bool AllowTabShifting READ AllowTabShifting WRITE SetAllowTabShifting)

public:
    using Side = TabLayout::Side;

    explicit TPVPageControl(QWidget* parent = nullptr);
    ~TPVPageControl() override;

    // Pages, in page order. Adding takes ownership and returns the page index; the first
    // page added to a control without an active page becomes active. A page that is already
    // in the control stays where it is.
    int addPage(QWidget* page, const QString& caption = {});
    int insertPage(int pageIndex, QWidget* page, const QString& caption = {});
    // Takes the page out without deleting it; the caller owns it afterwards.
    void removePage(QWidget* page);
    int pageCount() const { return int(m_pages.size()); }
    QWidget* page(int pageIndex) const;
    int pageIndex(QWidget* page) const; // -1 when not a page of this control
    // Moves a page to another place; the pages in between shift by one.
    void setPageIndex(QWidget* page, int pageIndex);

    // Tabs: only the pages whose tab is shown, in page order.
    int tabCount() const;
    int tabIndex(QWidget* page) const; // -1 when the page's tab is hidden
    QWidget* pageForTabIndex(int tabIndex) const;
    QList<QWidget*> tabPages() const;

    // The active page. Setting it from code emits currentChanged but not changed, as the
    // platform's page control did.
    QWidget* activePage() const { return m_active; }
    void setActivePage(QWidget* page);
    int activePageIndex() const;
    void setActivePageIndex(int pageIndex);
    int activeTabIndex() const; // -1 when no page is active or its tab is hidden
    // The next (or previous) page with a shown tab, wrapping round; emits changed.
    void selectNextPage(bool forward);
    // While held, the page on the screen stays the one shown when the hold began, whatever
    // becomes active: tabs made in a row are not each shown for a moment, which would have
    // every page drawn and its view set up for the screen. Letting go shows the active
    // page. Holds nest.
    void holdShownPage(bool held);

    // Per page data.
    QString pageCaption(QWidget* page) const;
    void setPageCaption(QWidget* page, const QString& caption);
    QString pageHint(QWidget* page) const;
    void setPageHint(QWidget* page, const QString& hint);
    int pageImageIndex(QWidget* page) const; // -1: no image
    void setPageImageIndex(QWidget* page, int imageIndex);
    bool isTabVisible(QWidget* page) const;
    void setTabVisible(QWidget* page, bool visible);

    // The images tabs show by index, all of one size.
    QList<QPixmap> images() const { return m_images; }
    void setImages(const QList<QPixmap>& images);
    QSize imageSize() const;

    Side tabPosition() const { return m_side; }
    void setTabPosition(Side side);
    bool multiLine() const { return m_multiLine; }
    void setMultiLine(bool multiLine);
    // Tabs that show their image only (the side bar's pane strip). Captions stay for hints.
    bool iconOnly() const { return m_iconOnly; }
    void setIconOnly(bool iconOnly);
    // Every tab this wide, 0 for tabs as wide as their content.
    int fixedTabWidth() const { return m_fixedTabWidth; }
    void setFixedTabWidth(int width);
    bool showHint() const { return m_showHint; }
    void setShowHint(bool show);

    // Colours of the tabs that are not selected, as stored colour values (TabColors).
    TabColors::ColorValue InactiveTabColor() const { return m_inactiveTabColor; }
    void SetInactiveTabColor(TabColors::ColorValue color);
    TabColors::ColorValue InactiveFontColor() const { return m_inactiveFontColor; }
    void SetInactiveFontColor(TabColors::ColorValue color);
    // Tabs can be moved by dragging. Never while the tabs take several rows, where the
    // rows change places as tabs are selected.
    bool AllowTabShifting() const { return m_allowTabShifting; }
    void SetAllowTabShifting(bool allow);
    bool tabShiftingActive() const { return m_allowTabShifting && !m_multiLine; }

    // Hit testing, in the coordinates of tabStrip(): the tab index at a point (-1 for none)
    // and a tab's rectangle (null when hidden or scrolled out of view).
    int tabAt(const QPoint& stripPos) const;
    QRect tabRect(int tabIndex) const;
    int rowCount() const;
    // The widget the tabs are drawn on: for event filters (drops on tabs) and tests.
    QWidget* tabStrip() const;

    // The control's hint: the hint of the page under the mouse, empty when none.
    QString hint() const { return m_hint; }

Q_SIGNALS:
    // The user chose another page: a click on a tab or selectNextPage.
    void changed();
    // The active page is another one, for whatever reason (also nullptr).
    void currentChanged(QWidget* page);
    // A tab was dragged to another place; page indexes.
    void pageMoved(QWidget* page, int from, int to);
    // The right button was pressed on the strip; tabIndex is -1 away from any tab.
    void tabRightPressed(int tabIndex, const QPoint& globalPos);
    // The control's hint changed as the mouse moved to another tab or off the tabs.
    void hintChanged(const QString& hint);

private:
    friend class TPVTabStrip;

    struct PageEntry
    {
        QWidget* page = nullptr; // cleared from the list when the page is destroyed
        QString caption;
        QString hint;
        int imageIndex = -1;
        bool tabVisible = true;
        int textWidth = -1; // of the trimmed caption in the strip's font; -1: not measured
    };

    int entryIndex(const QWidget* page) const;
    PageEntry* entry(const QWidget* page);
    const PageEntry* entry(const QWidget* page) const;
    QList<bool> tabShownFlags() const;
    void pageDestroyed(QObject* object);
    void takeEntry(int index);
    void setActive(QWidget* page, bool byUser);
    QWidget* nextPageWithTab(int fromIndex, bool forward) const;
    void placeStrip();
    void tabsChanged();
    void setHint(const QString& hint);

    QList<PageEntry> m_pages;
    QWidget* m_active = nullptr;
    int m_shownHeld = 0;
    QStackedWidget* m_stack = nullptr;
    QWidget* m_empty = nullptr;
    TPVTabStrip* m_strip = nullptr;
    QList<QPixmap> m_images;
    Side m_side = Side::Top;
    bool m_multiLine = false;
    bool m_iconOnly = false;
    int m_fixedTabWidth = 0;
    bool m_showHint = true;
    bool m_allowTabShifting = false;
    TabColors::ColorValue m_inactiveTabColor = TabColors::clInactiveCaption;
    TabColors::ColorValue m_inactiveFontColor = TabColors::clHighlightText;
    QString m_hint;
};
