#include "browser/strip/PVPageControl.h"

#include "browser/strip/TabRules.h"
#include "browser/strip/TabStrip.h"

#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

TPVPageControl::TPVPageControl(QWidget* parent)
    : QWidget(parent)
    , m_stack(new QStackedWidget(this))
    , m_empty(new QWidget(m_stack))
    , m_strip(new TPVTabStrip(this))
{
    m_stack->addWidget(m_empty);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    placeStrip();
    m_strip->relayout(false);
}

TPVPageControl::~TPVPageControl()
{
    // The pages go with the stack; they must not call back into a control half gone.
    for (const PageEntry& e : std::as_const(m_pages))
        disconnect(e.page, nullptr, this, nullptr);
}

void TPVPageControl::placeStrip()
{
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->removeWidget(m_strip);
    box->removeWidget(m_stack);
    if (m_side == Side::Top) {
        box->addWidget(m_strip);
        box->addWidget(m_stack, 1);
    } else {
        box->addWidget(m_stack, 1);
        box->addWidget(m_strip);
    }
}

// ---- Pages

int TPVPageControl::addPage(QWidget* page, const QString& caption)
{
    return insertPage(pageCount(), page, caption);
}

int TPVPageControl::insertPage(int index, QWidget* page, const QString& caption)
{
    if (!page)
        return -1;
    if (const int existing = pageIndex(page); existing >= 0)
        return existing;
    index = std::clamp(index, 0, pageCount());
    PageEntry e;
    e.page = page;
    e.caption = caption;
    m_pages.insert(index, e);
    m_stack->addWidget(page);
    connect(page, &QObject::destroyed, this, &TPVPageControl::pageDestroyed);
    tabsChanged();
    if (!m_active)
        setActive(page, false);
    return index;
}

void TPVPageControl::removePage(QWidget* page)
{
    const int index = entryIndex(page);
    if (index < 0)
        return;
    disconnect(page, &QObject::destroyed, this, &TPVPageControl::pageDestroyed);
    m_stack->removeWidget(page);
    page->hide();
    page->setParent(nullptr);
    takeEntry(index);
}

void TPVPageControl::pageDestroyed(QObject* object)
{
    // The page is half destroyed: only its address is used to find it.
    for (int i = 0; i < m_pages.size(); ++i) {
        if (static_cast<QObject*>(m_pages[i].page) == object) {
            takeEntry(i);
            return;
        }
    }
}

void TPVPageControl::takeEntry(int index)
{
    QWidget* page = m_pages[index].page;
    m_pages.removeAt(index);
    if (page == m_active) {
        // As the platform did: the next page with a shown tab takes over.
        m_active = nullptr;
        setActive(nextPageWithTab(index - 1, true), false);
        if (!m_active) {
            m_stack->setCurrentWidget(m_empty);
            Q_EMIT currentChanged(nullptr);
        }
    }
    tabsChanged();
}

QWidget* TPVPageControl::page(int index) const
{
    return index >= 0 && index < m_pages.size() ? m_pages[index].page : nullptr;
}

int TPVPageControl::pageIndex(QWidget* page) const
{
    return entryIndex(page);
}

void TPVPageControl::setPageIndex(QWidget* page, int index)
{
    const int from = entryIndex(page);
    if (from < 0)
        return;
    const int to = std::clamp(index, 0, pageCount() - 1);
    if (to == from)
        return;
    m_pages.move(from, to);
    tabsChanged();
    m_strip->relayout(true);
    Q_EMIT pageMoved(page, from, to);
}

// ---- Tabs

int TPVPageControl::tabCount() const
{
    return int(std::count_if(m_pages.begin(), m_pages.end(),
                             [](const PageEntry& e) { return e.tabVisible; }));
}

int TPVPageControl::tabIndex(QWidget* page) const
{
    return TabRules::tabIndexForPage(tabShownFlags(), entryIndex(page));
}

QWidget* TPVPageControl::pageForTabIndex(int tab) const
{
    return page(TabRules::pageIndexForTab(tabShownFlags(), tab));
}

QList<QWidget*> TPVPageControl::tabPages() const
{
    QList<QWidget*> pages;
    for (const PageEntry& e : m_pages) {
        if (e.tabVisible)
            pages.append(e.page);
    }
    return pages;
}

QList<bool> TPVPageControl::tabShownFlags() const
{
    QList<bool> flags;
    flags.reserve(m_pages.size());
    for (const PageEntry& e : m_pages)
        flags.append(e.tabVisible);
    return flags;
}

// ---- Active page

void TPVPageControl::setActivePage(QWidget* page)
{
    if (page && entryIndex(page) < 0)
        return;
    setActive(page, false);
}

int TPVPageControl::activePageIndex() const
{
    return entryIndex(m_active);
}

void TPVPageControl::setActivePageIndex(int index)
{
    setActivePage(page(index));
}

int TPVPageControl::activeTabIndex() const
{
    return tabIndex(m_active);
}

void TPVPageControl::selectNextPage(bool forward)
{
    int from = activePageIndex();
    if (from < 0)
        from = forward ? pageCount() - 1 : 0;
    QWidget* next = nextPageWithTab(from, forward);
    if (next && next != m_active)
        setActive(next, true);
}

QWidget* TPVPageControl::nextPageWithTab(int from, bool forward) const
{
    const int n = pageCount();
    if (n == 0)
        return nullptr;
    int i = from;
    for (int step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i - 1 + n) % n;
        if (i >= 0 && m_pages[i].tabVisible)
            return m_pages[i].page;
    }
    return nullptr;
}

void TPVPageControl::setActive(QWidget* page, bool byUser)
{
    if (page == m_active)
        return;
    m_active = page;
    if (m_shownHeld == 0)
        m_stack->setCurrentWidget(page ? page : m_empty);
    m_strip->relayout(true);
    Q_EMIT currentChanged(page);
    if (byUser)
        Q_EMIT changed();
}

void TPVPageControl::holdShownPage(bool held)
{
    m_shownHeld = std::max(0, m_shownHeld + (held ? 1 : -1));
    if (m_shownHeld == 0)
        m_stack->setCurrentWidget(m_active ? m_active : m_empty);
}

// ---- Per page data

int TPVPageControl::entryIndex(const QWidget* page) const
{
    if (!page)
        return -1;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].page == page)
            return i;
    }
    return -1;
}

TPVPageControl::PageEntry* TPVPageControl::entry(const QWidget* page)
{
    const int i = entryIndex(page);
    return i >= 0 ? &m_pages[i] : nullptr;
}

const TPVPageControl::PageEntry* TPVPageControl::entry(const QWidget* page) const
{
    const int i = entryIndex(page);
    return i >= 0 ? &m_pages[i] : nullptr;
}

QString TPVPageControl::pageCaption(QWidget* page) const
{
    const PageEntry* e = entry(page);
    return e ? e->caption : QString();
}

void TPVPageControl::setPageCaption(QWidget* page, const QString& caption)
{
    PageEntry* e = entry(page);
    if (!e || e->caption == caption)
        return;
    e->caption = caption;
    e->textWidth = -1;
    tabsChanged();
}

QString TPVPageControl::pageHint(QWidget* page) const
{
    const PageEntry* e = entry(page);
    return e ? e->hint : QString();
}

void TPVPageControl::setPageHint(QWidget* page, const QString& hint)
{
    PageEntry* e = entry(page);
    if (!e || e->hint == hint)
        return;
    e->hint = hint;
    m_strip->refreshHint();
}

int TPVPageControl::pageImageIndex(QWidget* page) const
{
    const PageEntry* e = entry(page);
    return e ? e->imageIndex : -1;
}

void TPVPageControl::setPageImageIndex(QWidget* page, int imageIndex)
{
    PageEntry* e = entry(page);
    if (!e)
        return;
    imageIndex = std::max(-1, imageIndex);
    if (e->imageIndex == imageIndex)
        return;
    e->imageIndex = imageIndex;
    tabsChanged();
}

bool TPVPageControl::isTabVisible(QWidget* page) const
{
    const PageEntry* e = entry(page);
    return e && e->tabVisible;
}

void TPVPageControl::setTabVisible(QWidget* page, bool visible)
{
    PageEntry* e = entry(page);
    if (!e || e->tabVisible == visible)
        return;
    e->tabVisible = visible;
    tabsChanged();
}

// ---- Looks

void TPVPageControl::setImages(const QList<QPixmap>& images)
{
    m_images = images;
    tabsChanged();
}

QSize TPVPageControl::imageSize() const
{
    if (m_images.isEmpty())
        return {};
    return m_images.first().deviceIndependentSize().toSize();
}

void TPVPageControl::setTabPosition(Side side)
{
    if (side == m_side)
        return;
    m_side = side;
    placeStrip();
    tabsChanged();
}

void TPVPageControl::setMultiLine(bool multiLine)
{
    if (multiLine == m_multiLine)
        return;
    m_multiLine = multiLine;
    m_strip->relayout(true);
}

void TPVPageControl::setIconOnly(bool iconOnly)
{
    if (iconOnly == m_iconOnly)
        return;
    m_iconOnly = iconOnly;
    tabsChanged();
}

void TPVPageControl::setFixedTabWidth(int width)
{
    width = std::max(0, width);
    if (width == m_fixedTabWidth)
        return;
    m_fixedTabWidth = width;
    tabsChanged();
}

void TPVPageControl::setShowHint(bool show)
{
    m_showHint = show;
}

void TPVPageControl::SetInactiveTabColor(TabColors::ColorValue color)
{
    m_inactiveTabColor = color;
    m_strip->update();
}

void TPVPageControl::SetInactiveFontColor(TabColors::ColorValue color)
{
    m_inactiveFontColor = color;
    m_strip->update();
}

void TPVPageControl::SetAllowTabShifting(bool allow)
{
    m_allowTabShifting = allow;
}

// ---- Hit testing and hint

int TPVPageControl::tabAt(const QPoint& stripPos) const
{
    return m_strip->tabAt(stripPos);
}

QRect TPVPageControl::tabRect(int tabIndex) const
{
    return m_strip->tabRect(tabIndex);
}

int TPVPageControl::rowCount() const
{
    return m_strip->geometryOfTabs().rows;
}

QWidget* TPVPageControl::tabStrip() const
{
    return m_strip;
}

void TPVPageControl::tabsChanged()
{
    // Captions grow as pages report their titles: the active tab stays wholly in view.
    m_strip->relayout(true);
    m_strip->refreshHint();
}

void TPVPageControl::setHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    Q_EMIT hintChanged(hint);
}
