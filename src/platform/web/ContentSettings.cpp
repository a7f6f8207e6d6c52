#include "platform/web/ContentSettings.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace {

// Runs in the pages' own script world of the program, which the page cannot see; the DOM
// is shared, so what it does to elements and styles counts for the page. Its state lives
// in that world's global object, so running it again with other switches updates it.
constexpr char PageScriptTemplate[] = R"JS(
(function (videos, animations) {
  var state = window.__pelvaneContent || (window.__pelvaneContent = { frozen: new Map() });
  state.videos = videos;
  state.animations = animations;
  var styleId = 'pelvane-content-switches';

  function updateStyle() {
    var style = document.getElementById(styleId);
    if (state.animations) {
      if (style) style.remove();
      return;
    }
    var root = document.head || document.documentElement;
    if (style || !root) return;
    style = document.createElement('style');
    style.id = styleId;
    style.textContent = '*,*::before,*::after{animation:none!important;' +
      'transition:none!important}';
    root.appendChild(style);
  }
  function quietVideo(video) {
    if (state.videos) return;
    video.autoplay = false;
    video.removeAttribute('autoplay');
    video.preload = 'none';
    if (!video.paused) video.pause();
  }
  function stillImage(img) {
    if (state.animations || state.frozen.has(img) || img.srcset) return;
    var source = img.currentSrc || img.src;
    if (!/\.gif($|[?#])/i.test(source) || !img.complete || !img.naturalWidth) return;
    try {
      var canvas = document.createElement('canvas');
      canvas.width = img.naturalWidth;
      canvas.height = img.naturalHeight;
      canvas.getContext('2d').drawImage(img, 0, 0);
      var still = canvas.toDataURL();
      state.frozen.set(img, img.getAttribute('src'));
      img.src = still;
    } catch (e) {
      // A picture from another site cannot be read: it keeps moving.
    }
  }
  function sweep(node) {
    if (!node || !node.querySelectorAll) return;
    if (node.tagName === 'VIDEO') quietVideo(node);
    if (node.tagName === 'IMG') stillImage(node);
    if (!state.videos) node.querySelectorAll('video').forEach(quietVideo);
    if (!state.animations) node.querySelectorAll('img').forEach(stillImage);
  }
  function applyAll() {
    updateStyle();
    if (state.animations) {
      state.frozen.forEach(function (src, img) {
        if (src === null) img.removeAttribute('src'); else img.setAttribute('src', src);
      });
      state.frozen.clear();
    }
    if (!state.videos || !state.animations) sweep(document);
  }
  if (!state.installed) {
    state.installed = true;
    document.addEventListener('play', function (event) {
      if (!state.videos && event.target && event.target.tagName === 'VIDEO')
        event.target.pause();
    }, true);
    document.addEventListener('load', function (event) {
      if (!state.animations && event.target && event.target.tagName === 'IMG')
        stillImage(event.target);
    }, true);
    new MutationObserver(function (records) {
      if (state.videos && state.animations) return;
      updateStyle();
      records.forEach(function (record) { record.addedNodes.forEach(sweep); });
    }).observe(document, { childList: true, subtree: true });
    document.addEventListener('DOMContentLoaded', applyAll);
  }
  applyAll();
})(%1, %2);
)JS";

QString boolText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

bool usableToken(const QString& token)
{
    if (token.trimmed().isEmpty())
        return false;
    for (const QChar c : token) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == QLatin1Char('(') ||
            c == QLatin1Char(')') || c == QLatin1Char(';'))
            return false;
    }
    return true;
}

} // namespace

ContentRequestInterceptor::ContentRequestInterceptor(QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent)
{}

bool ContentRequestInterceptor::Refuses(QWebEngineUrlRequestInfo::ResourceType type,
                                        const WebContentSwitches& switches)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return !switches.images;
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
        return !switches.videos;
    default:
        return false;
    }
}

void ContentRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (Refuses(info.resourceType(), m_switches))
        info.block(true);
}

WebContentSettings::WebContentSettings(QWebEngineProfile* profile, QObject* parent)
    : QObject(parent)
    , m_profile(profile)
    , m_interceptor(new ContentRequestInterceptor(this))
    , m_defaultUserAgent(profile->httpUserAgent())
{}

WebContentSettings::~WebContentSettings()
{
    // The pages do not own the interceptor; none may keep using it.
    for (const QPointer<QWebEnginePage>& page : std::as_const(m_pages)) {
        if (page)
            page->setUrlRequestInterceptor(nullptr);
    }
}

void WebContentSettings::adoptPage(QWebEnginePage* page)
{
    if (!page || m_pages.contains(page))
        return;
    m_pages.removeAll(nullptr);
    m_pages.append(page);
    page->setUrlRequestInterceptor(m_interceptor);
    page->setAudioMuted(!m_switches.sounds);
}

void WebContentSettings::setSwitches(const WebContentSwitches& switches)
{
    const WebContentSwitches before = m_switches;
    if (switches == before)
        return;
    m_switches = switches;
    m_interceptor->setSwitches(switches);
    if (m_profile) {
        QWebEngineSettings* settings = m_profile->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadImages, switches.images);
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, switches.images);
    }
    const bool scriptChanged =
        before.videos != switches.videos || before.animations != switches.animations;
    if (scriptChanged)
        updateProfileScript();
    m_pages.removeAll(nullptr);
    for (const QPointer<QWebEnginePage>& page : std::as_const(m_pages)) {
        page->setAudioMuted(!switches.sounds);
        if (scriptChanged)
            page->runJavaScript(pageScript(switches), QWebEngineScript::ApplicationWorld);
    }
}

void WebContentSettings::updateProfileScript()
{
    if (!m_profile)
        return;
    QWebEngineScriptCollection* scripts = m_profile->scripts();
    const QList<QWebEngineScript> old = scripts->find(scriptName());
    for (const QWebEngineScript& script : old)
        scripts->remove(script);
    if (m_switches.videos && m_switches.animations)
        return; // nothing to do in new pages
    QWebEngineScript script;
    script.setName(scriptName());
    script.setSourceCode(pageScript(m_switches));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    scripts->insert(script);
}

void WebContentSettings::setUserAgentTokens(const QStringList& tokens)
{
    m_tokens = tokens;
    if (m_profile)
        m_profile->setHttpUserAgent(userAgentWithTokens(m_defaultUserAgent, tokens));
}

QString WebContentSettings::userAgentWithTokens(const QString& userAgent, const QStringList& tokens)
{
    QStringList usable;
    for (const QString& token : tokens) {
        if (usableToken(token))
            usable << token.trimmed();
    }
    if (usable.isEmpty())
        return userAgent;
    const QString added = usable.join(QLatin1String("; "));
    const int open = userAgent.indexOf(QLatin1Char('('));
    const int close = open < 0 ? -1 : userAgent.indexOf(QLatin1Char(')'), open);
    if (close < 0) // no platform part: make one
        return userAgent + QLatin1String(" (") + added + QLatin1Char(')');
    const QString inside = userAgent.mid(open + 1, close - open - 1).trimmed();
    const QString joined = inside.isEmpty() ? added : inside + QLatin1String("; ") + added;
    return userAgent.left(open + 1) + joined + userAgent.mid(close);
}

QString WebContentSettings::pageScript(const WebContentSwitches& switches)
{
    return QString::fromLatin1(PageScriptTemplate)
        .arg(boolText(switches.videos), boolText(switches.animations));
}
