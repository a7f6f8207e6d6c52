#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

// One tab as the session keeps it: enough to show it again in the strip and to load its
// page when it is first shown.
struct SessionTab
{
    QString address;
    QString title; // the page title the tab shows (the sticky name has its own field)
    QString homeUrl;
    QString stickyName;
    bool locked = false;
    bool hideFromCloseAll = false;
    QPointF scroll; // where the page was scrolled to, when the engine said

    friend bool operator==(const SessionTab&, const SessionTab&) = default;
};

// The open tabs of one main window in strip order, and which of them was active.
struct SessionState
{
    QList<SessionTab> tabs;
    int active = -1; // index into tabs; -1: none

    friend bool operator==(const SessionState&, const SessionState&) = default;

    // The file's text: a small JSON document with a format number.
    QByteArray toJson() const;
    // The text read back. Anything that is not a session of this format gives nothing and
    // says why in `error`; single fields of the wrong type read as empty, tabs without an
    // address are left out, and an active index out of range becomes the first tab.
    static std::optional<SessionState> fromJson(const QByteArray& text, QString* error);
};
