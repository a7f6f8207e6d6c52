#pragma once

#include "platform/web/WebBackend.h"
#include "platform/web/PageFeatures.h"
#include "platform/web/WebContentSwitches.h"

#include <QIcon>
#include <QString>
#include <QStringList>

class FileFetcher;

// What the main window and its parts need of the web engine as a whole, beside the pages:
// a browser's backend, the content switches and user-agent tokens every page obeys,
// clearing the cache and cookies, and where the history is kept. The program wires the real
// engine once at start (WebEngineServices); tests hand in a fake.
class EngineServices
{
public:
    virtual ~EngineServices() = default;

    // The engine of a new browser; null leaves the browser without one.
    virtual WebBackend* createBackend() = 0;
    virtual void applyContentSwitches(const WebContentSwitches& switches) = 0;
    virtual void applyUserAgentTokens(const QStringList& tokens) = 0;
    virtual void applyPageFeatures(const PageFeatures& features) = 0;
    virtual void clearCacheAndCookies() = 0;
    // The history store's file.
    virtual QString historyFile() const = 0;
    // Downloads of this session still running.
    virtual int runningDownloads() const = 0;
    // The picture of the site of an address, when the engine has shown one of its pages;
    // a null icon otherwise.
    virtual QIcon siteIcon(const QString& address) const
    {
        Q_UNUSED(address);
        return QIcon();
    }

    // The engine keeps nothing of its pages on disk (a private window's): nothing the user
    // types into them is offered to be kept either.
    virtual bool offTheRecord() const { return false; }
    // Downloads files for the program itself through the engine's network; null: no such
    // downloads (the fetcher lives as long as the services).
    virtual FileFetcher* fileFetcher() { return nullptr; }
    // Where copies of pages handed to other programs (an editor, a mail) go; empty: the
    // program's own folder for them. A private window's go with it.
    virtual QString pageCopiesFolder() const { return {}; }

protected:
    EngineServices() = default;
    Q_DISABLE_COPY_MOVE(EngineServices)
};
