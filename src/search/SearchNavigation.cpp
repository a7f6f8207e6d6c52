#include "search/SearchNavigation.h"

#include <QVariantMap>

namespace SearchNavigation {

Verdict decide(bool allowNext, const std::optional<DocumentState>& document)
{
    if (allowNext || !document || !document->hasElements)
        return Verdict::Proceed;
    if (document->activeTag != QLatin1String("A"))
        return Verdict::Proceed;
    const QString& target = document->activeTarget;
    const bool toMain = target == QLatin1String("_main") ||
                        (target.isEmpty() && document->baseTarget == QLatin1String("_main"));
    return toMain ? Verdict::Divert : Verdict::Proceed;
}

QString stateScript()
{
    return QStringLiteral(R"(
var d = document;
if (!d) return null;
var all = d.getElementsByTagName('*');
if (!all) return {hasElements: false};
var b = d.querySelector('base');
var base = b ? (b.getAttribute('target') || '') : '';
var a = d.activeElement;
return {hasElements: true, baseTarget: base,
        activeTag: a ? String(a.tagName) : '',
        activeTarget: a && a.getAttribute ? (a.getAttribute('target') || '') : ''};
)");
}

std::optional<DocumentState> stateFromScript(const QVariant& answer)
{
    if (answer.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap map = answer.toMap();
    DocumentState state;
    state.hasElements = map.value(QStringLiteral("hasElements")).toBool();
    state.baseTarget = map.value(QStringLiteral("baseTarget")).toString();
    state.activeTag = map.value(QStringLiteral("activeTag")).toString();
    state.activeTarget = map.value(QStringLiteral("activeTarget")).toString();
    return state;
}

QString paneLinksScript()
{
    // The listener sees the click before the page's default action; a link it takes is
    // focused (so the rule reads it as the active element) and followed in the pane.
    return QStringLiteral(R"(
if (window.__pelvaneSearchPane) return true;
window.__pelvaneSearchPane = true;
document.addEventListener('click', function (event) {
    if (event.defaultPrevented || event.button !== 0) return;
    var node = event.target;
    while (node && !(node.tagName && node.tagName.toUpperCase() === 'A')) node = node.parentNode;
    if (!node || !node.href) return;
    var target = node.getAttribute('target') || '';
    if (!target) {
        var base = document.querySelector('base[target]');
        target = base ? base.getAttribute('target') : '';
    }
    if (target.toLowerCase() !== '_main') return;
    event.preventDefault();
    node.focus();
    window.location.href = node.href;
}, true);
return true;
)");
}

} // namespace SearchNavigation
