#include "settings/SiteZoom.h"

#include "platform/Registry.h"

#include <QUrl>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The steps a wheel notch or Ctrl+plus goes through, as most browsers take them.
constexpr qreal Steps[] = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                           1.25, 1.5,  1.75, 2.0, 2.5,  3.0, 4.0, 5.0};
// Zooms closer than this are the same (a factor read back from the engine is not exact).
constexpr qreal Near = 0.005;

} // namespace

namespace Zoom {

int textSizeOf(qreal zoom)
{
    int nearest = 2;
    for (int size = 0; size < int(std::size(TextSizes)); ++size) {
        if (std::abs(TextSizes[size] - zoom) < std::abs(TextSizes[nearest] - zoom))
            nearest = size;
    }
    return nearest;
}

qreal ofTextSize(int size)
{
    return TextSizes[std::clamp(size, 0, int(std::size(TextSizes)) - 1)];
}

qreal stepped(qreal zoom, int direction)
{
    if (direction == 0)
        return 1.0;
    if (direction > 0) {
        const auto* next = std::find_if(std::begin(Steps), std::end(Steps),
                                        [zoom](qreal step) { return step > zoom + Near; });
        return next == std::end(Steps) ? Largest : *next;
    }
    const auto previous = std::find_if(std::rbegin(Steps), std::rend(Steps),
                                       [zoom](qreal step) { return step < zoom - Near; });
    return previous == std::rend(Steps) ? Smallest : *previous;
}

bool isOwnSize(qreal zoom)
{
    return std::abs(zoom - 1.0) < Near;
}

QString siteOf(const QString& address)
{
    const QUrl url(address);
    if (!url.isValid())
        return {};
    return url.host().toLower();
}

} // namespace Zoom

SiteZoom::SiteZoom(RegistryHive& hive)
    : m_hive(hive)
{
}

QString SiteZoom::key()
{
    return QStringLiteral("\\Software\\Brenmoor\\Pelvane\\Zoom");
}

qreal SiteZoom::zoomFor(const QString& address) const
{
    const QString site = Zoom::siteOf(address);
    if (site.isEmpty())
        return 1.0;
    try {
        TRegistry reg(m_hive);
        if (!reg.openKeyReadOnly(key()) || !reg.valueExists(site))
            return 1.0;
        const int percent = reg.readInteger(site);
        // A value out of range was not written by us: the page's own size.
        if (percent < int(Zoom::Smallest * 100) || percent > int(Zoom::Largest * 100))
            return 1.0;
        return percent / 100.0;
    } catch (const RegistryError&) {
        return 1.0;
    }
}

bool SiteZoom::remember(const QString& address, qreal zoom)
{
    const QString site = Zoom::siteOf(address);
    if (site.isEmpty())
        return true;
    try {
        TRegistry reg(m_hive);
        if (Zoom::isOwnSize(zoom)) {
            if (reg.openKeyReadOnly(key()))
                reg.deleteValue(site);
            return true;
        }
        if (!reg.openKey(key(), true))
            return false;
        // Written again, the site goes to the end of the order: the first is the one chosen
        // longest ago.
        reg.deleteValue(site);
        const QStringList sites = reg.valueNames();
        for (qsizetype i = 0; i + MaxSites <= sites.size(); ++i)
            reg.deleteValue(sites.at(i));
        const qreal kept = std::clamp(zoom, Zoom::Smallest, Zoom::Largest);
        reg.writeInteger(site, int(std::lround(kept * 100)));
        return true;
    } catch (const RegistryError&) {
        return false;
    }
}

void SiteZoom::forgetAll(RegistryHive& hive)
{
    try {
        TRegistry(hive).deleteKey(key());
    } catch (const RegistryError&) {
        // Nothing kept, or nothing that can be changed: either way no choice to forget.
    }
}
