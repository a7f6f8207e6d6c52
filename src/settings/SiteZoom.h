#pragma once

#include <QString>

class RegistryHive;

// How large pages are shown, and the size the user chose for each site. A zoom is a factor
// of the page's own size (1 is its own size); the Text Size menu's five sizes are zooms too.
namespace Zoom {

// The Text Size menu's sizes, smallest (0) to largest (4); 2 is the page's own size.
constexpr qreal TextSizes[] = {0.75, 0.875, 1.0, 1.15, 1.3};
constexpr qreal Smallest = 0.25;
constexpr qreal Largest = 5.0;

// The text size nearest to a zoom.
int textSizeOf(qreal zoom);
// The zoom of a text size (clamped to the five).
qreal ofTextSize(int size);
// One step larger (direction > 0), smaller (< 0), or the page's own size (0), along the
// steps a wheel or Ctrl+plus takes; a zoom between two steps goes to the next one.
qreal stepped(qreal zoom, int direction);
bool isOwnSize(qreal zoom);
// The site an address belongs to, as far as its zoom is remembered: its host, in lower
// case; empty for an address without one (a file, a blank page), whose zoom is not kept.
QString siteOf(const QString& address);

} // namespace Zoom

// The zoom chosen on each site, kept in the settings under "Zoom" as whole percents by
// host. A site without one is shown at its own size. At most MaxSites are kept: the site
// chosen longest ago makes room for a new one.
class SiteZoom final
{
public:
    static constexpr int MaxSites = 2000;

    explicit SiteZoom(RegistryHive& hive);

    static QString key();
    // The zoom to show a page at; 1 without a choice (or with one the settings spoil).
    qreal zoomFor(const QString& address) const;
    // Keeps the user's choice for the page's site; the page's own size forgets the site.
    // Answers false when the settings could not keep it (the zoom still applies).
    bool remember(const QString& address, qreal zoom);
    // Forgets every site, as clearing the history does.
    static void forgetAll(RegistryHive& hive);

private:
    RegistryHive& m_hive;
};
