#pragma once

#include <QImage>
#include <QList>

#include <future>

// The program's icon at every size it is drawn in. Decoding the larger pictures takes some
// milliseconds of the main thread, which the first page needs at start; they are read on a
// worker thread while the web engine starts, and made into the icon after.
class ProgramIcon final
{
public:
    // Begins reading the pictures. A start that ends before they are used (a hand-off to
    // the running copy) waits for the reading to end when this goes.
    ProgramIcon();
    ProgramIcon(const ProgramIcon&) = delete;
    ProgramIcon& operator=(const ProgramIcon&) = delete;

    // Waits for the pictures (normally read by then) and makes them the application's
    // icon, which every window, the tray and the dialogs then show. Again: nothing.
    void apply();

private:
    std::future<QList<QImage>> m_pictures;
};
