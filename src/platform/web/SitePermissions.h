#pragma once

#include "platform/web/WebQuestions.h"

#include <QHash>
#include <QString>
#include <QUrl>

#include <optional>

// The user's answers to sites asking for a feature, kept for the session: a site asks once
// per feature, whichever of its pages asks.
class SitePermissions final
{
public:
    std::optional<bool> remembered(const QUrl& origin, SiteFeature feature) const;
    void remember(const QUrl& origin, SiteFeature feature, bool allowed);
    void forgetAll() { m_answers.clear(); }

    // Scheme, host and port: what makes two pages the same site here.
    static QString originKey(const QUrl& origin);

private:
    static QString key(const QUrl& origin, SiteFeature feature);

    QHash<QString, bool> m_answers;
};
