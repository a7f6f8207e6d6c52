#pragma once

#include <QString>

#include <functional>

// Where the engine reports the pages the user visits. The engine knows when a top-level
// navigation has completed and which title is a page's own; what is worth keeping, and
// where, is the program's business: it hands in its history here.
struct PageVisitSink
{
    // A top-level navigation completed on `url`; `title` is empty when the page has no
    // title of its own yet. Returns whether the address was taken, so that a title the
    // page sets later is reported for it.
    std::function<bool(const QString& url, const QString& title)> visited;
    // The page last taken by `visited` has set a title of its own.
    std::function<void(const QString& url, const QString& title)> retitled;
};
