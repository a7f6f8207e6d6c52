#include "settings/WindowSettings.h"

#include "platform/Registry.h"

#include <QtGlobal>

#include <algorithm>

namespace {

QString shownValue(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
QString shownValue(int value)
{
    return QString::number(value);
}
QString shownValue(const QString& value)
{
    return value;
}

// The window's frame is one rectangle; each of its edges is a setting of its own. Moving an
// edge keeps the size and sizing keeps the corner, so the four are read in any order.
struct FrameTop
{
    static int get(const WindowSettings& s) { return s.frame.top(); }
    static void set(WindowSettings& s, int value) { s.frame.moveTop(value); }
};
struct FrameLeft
{
    static int get(const WindowSettings& s) { return s.frame.left(); }
    static void set(WindowSettings& s, int value) { s.frame.moveLeft(value); }
};
struct FrameWidth
{
    static int get(const WindowSettings& s) { return s.frame.width(); }
    static void set(WindowSettings& s, int value) { s.frame.setWidth(value); }
};
struct FrameHeight
{
    static int get(const WindowSettings& s) { return s.frame.height(); }
    static void set(WindowSettings& s, int value) { s.frame.setHeight(value); }
};

} // namespace

// How a row reaches its working copy: a member (of its own or part of one), or a frame edge.
#define WINDOW_SETTINGS_GET_Own(s, Member) (s).Member
#define WINDOW_SETTINGS_GET_Part(s, Member) (s).Member
#define WINDOW_SETTINGS_GET_Edge(s, Member) Member::get(s)
#define WINDOW_SETTINGS_SET_Own(s, Member, value) (s).Member = (value)
#define WINDOW_SETTINGS_SET_Part(s, Member, value) (s).Member = (value)
#define WINDOW_SETTINGS_SET_Edge(s, Member, value) Member::set((s), (value))
// What the exit stores: the copy as it is, and an edge off the screen's top left at 0.
#define WINDOW_SETTINGS_STORED_Own(s, Member) (s).Member
#define WINDOW_SETTINGS_STORED_Part(s, Member) (s).Member
#define WINDOW_SETTINGS_STORED_Edge(s, Member) qMax(0, Member::get(s))

const QList<WindowSettings::Row>& WindowSettings::rows()
{
#define WINDOW_SETTINGS_ROW(Name, Copy, Member, Exit, Owner)                                       \
    Row{WindowSetting::Name,                                                                       \
        #Name,                                                                                     \
        SettingOwner::Owner,                                                                       \
        ExitWrite::Exit,                                                                           \
        [](const TPVOptions& o, WindowSettings& s) {                                               \
            WINDOW_SETTINGS_SET_##Copy(s, Member, o.Get##Name());                                  \
        },                                                                                         \
        [](TPVOptions& o, const WindowSettings& s) {                                               \
            o.Set##Name(WINDOW_SETTINGS_STORED_##Copy(s, Member));                                 \
        },                                                                                         \
        [](const WindowSettings& a, const WindowSettings& b) {                                     \
            return WINDOW_SETTINGS_GET_##Copy(a, Member) != WINDOW_SETTINGS_GET_##Copy(b, Member); \
        },                                                                                         \
        [](const WindowSettings& s) {                                                              \
            return shownValue(WINDOW_SETTINGS_GET_##Copy(s, Member));                              \
        }},
    static const QList<Row> all{WINDOW_SETTINGS(WINDOW_SETTINGS_ROW)};
#undef WINDOW_SETTINGS_ROW
    return all;
}

const WindowSettings::Row& WindowSettings::row(WindowSetting id)
{
    // The rows are made in the enumeration's order.
    return rows().at(static_cast<qsizetype>(id));
}

QList<WindowSettings::Push> WindowSettings::pushes(const WindowSettings& old,
                                                   const WindowSettings& wanted)
{
    QList<Push> told;
    for (const Row& row : rows()) {
        switch (row.owner) {
        case SettingOwner::Reader:
        case SettingOwner::NextStart:
        case SettingOwner::Window:
            continue;
        default:
            break;
        }
        if (row.differs(old, wanted))
            told.append({row.owner, row.id});
    }
    return told;
}

WindowSettings WindowSettings::read(const TPVOptions& options)
{
    const TPVOptions::Held held(options);
    WindowSettings s;
    for (const Row& row : rows())
        row.read(options, s);
    // The window's own rules on top of the store's: the search pane always has a page to
    // show, a tab cannot sleep after a negative time, and it is unloaded within a week or
    // never (0 and anything below).
    if (s.searchBar.isEmpty())
        s.searchBar = TPVOptions::DefaultSearchBar();
    s.freezeTabsAfter = qMax(0, s.freezeTabsAfter);
    s.unloadTabsAfter = std::clamp(s.unloadTabsAfter, 0, MaxUnloadTabsAfter);
    s.placementStored = options.IsStored(QStringLiteral("Width"));
    return s;
}

void WindowSettings::write(TPVOptions& options, const std::function<void()>& between) const
{
    bool bandsSaved = false;
    for (const Row& row : rows()) {
        if (row.exit == ExitWrite::NotWritten)
            continue;
        if (row.exit == ExitWrite::Unmaximized && maximized)
            continue;
        if (row.exit == ExitWrite::AfterBands && !bandsSaved) {
            bandsSaved = true;
            if (between)
                between();
        }
        row.write(options, *this);
    }
}

QRect WindowSettings::firstPlacement(const QRect& available)
{
    QRect frame(QPoint(), available.size() * 0.8);
    frame.moveCenter(available.center());
    return frame;
}
