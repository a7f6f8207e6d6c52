#pragma once

#include "platform/web/WebContentSwitches.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

class QWebEnginePage;
class QWebEngineProfile;

// Refuses the requests that the switches forbid. It sits on each page rather than on the
// profile, where the offline switch has its own interceptor (a profile holds one only).
class ContentRequestInterceptor final : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentRequestInterceptor)

public:
    explicit ContentRequestInterceptor(QObject* parent = nullptr);

    void setSwitches(const WebContentSwitches& switches) { m_switches = switches; }
    // The decision for one request: images off refuses images and site icons; videos off
    // refuses media (the engine does not tell a video's request from a sound's, so sound
    // files of pages go with it).
    static bool Refuses(QWebEngineUrlRequestInfo::ResourceType type,
                        const WebContentSwitches& switches);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    WebContentSwitches m_switches;
};

// Makes every page of one profile obey the content switches and names the program in the
// profile's user-agent text. The web context owns one and hands it each new page.
//
//   images off      the engine loads no image (the profile's settings) and the interceptor
//                   refuses any image request that comes all the same
//   videos off      media requests are refused; a page script stops autoplay and preloading
//                   and pauses any video that starts
//   sounds off      every page is muted
//   animations off  a page script turns off CSS animations and transitions and replaces
//                   each animated GIF by a still of its current picture. The engine has no
//                   switch for image animation: a GIF from another site cannot be read by
//                   the script and keeps moving, as do animated PNG and WebP pictures.
//
// A change reaches the pages already open at once (their scripts run again); the next load
// of every page starts with it.
class WebContentSettings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebContentSettings)

public:
    explicit WebContentSettings(QWebEngineProfile* profile, QObject* parent = nullptr);
    ~WebContentSettings() override;

    WebContentSwitches switches() const { return m_switches; }
    void setSwitches(const WebContentSwitches& switches);

    // The profile's user-agent text with these tokens in its platform part.
    QStringList userAgentTokens() const { return m_tokens; }
    void setUserAgentTokens(const QStringList& tokens);
    // The engine's own text, before any token.
    QString defaultUserAgent() const { return m_defaultUserAgent; }

    // From now on the page obeys the switches (its owner keeps it).
    void adoptPage(QWebEnginePage* page);
    // What refuses the requests the switches forbid, set on each adopted page; whoever sets
    // another interceptor on such a page asks this one first.
    QWebEngineUrlRequestInterceptor* pageInterceptor() const { return m_interceptor; }

    // "Mozilla/5.0 (X11; Linux x86_64) ..." with the tokens added inside the first
    // parenthesised part: "Mozilla/5.0 (X11; Linux x86_64; Token 1) ...". A token that
    // would break the header or the part (characters outside printable ASCII, parentheses,
    // semicolons) is left out.
    static QString userAgentWithTokens(const QString& userAgent, const QStringList& tokens);
    // The page script for the video and animation switches (both on: it undoes its work).
    static QString pageScript(const WebContentSwitches& switches);
    static QString scriptName() { return QStringLiteral("pelvane-content-switches"); }

private:
    void updateProfileScript();

    QPointer<QWebEngineProfile> m_profile;
    ContentRequestInterceptor* m_interceptor;
    QList<QPointer<QWebEnginePage>> m_pages;
    WebContentSwitches m_switches;
    QStringList m_tokens;
    QString m_defaultUserAgent;
};
