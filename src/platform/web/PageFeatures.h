#pragma once

#include <QString>

// What the engine offers inside every page beside its content, as the user set it.
struct PageFeatures
{
    bool spellCheck = true;
    // The dictionary's language ("en-US"); none checks nothing.
    QString spellLanguage;
    // PDF documents are shown in the tab by the engine's viewer instead of downloaded.
    bool pdfViewer = true;

    friend bool operator==(const PageFeatures&, const PageFeatures&) = default;
};
