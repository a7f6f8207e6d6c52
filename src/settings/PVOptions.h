#pragma once

#include "platform/Registry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Every scalar setting: type, value name, default, and the rule that turns the stored text
// into the value and back (see PVOptions.cpp). Each row gives a GetName and a SetName.
// All live as text values in "Software\Brenmoor\Pelvane\CurrentVersion" of the user.
#define PVOPTIONS_SCALARS(X)                                                                       \
    X(bool, AddressNewWin, false, Flag)                                                            \
    X(bool, MinToTray, false, Flag)                                                                \
    X(bool, ShowGo, false, Flag)                                                                   \
    X(bool, OpenNewAtEnd, false, Flag)                                                             \
    X(bool, SGCloseFirst, false, Flag)                                                             \
    X(QString, SearchBar, DefaultSearchBar(), Text)                                                \
    X(int, SorvelBarWidth, 234, Width)                                                             \
    X(bool, UsePopupSorvel, true, Flag)                                                            \
    X(int, LimitTitleLength, 35, Number)                                                           \
    X(bool, MultipleLines, false, Flag)                                                            \
    X(QString, StartupMode, QStringLiteral("Home"), Text)                                          \
    X(QString, StartupSorvelGroup, QString(), Text)                                                \
    X(QString, TabColorScheme, QStringLiteral("rev"), Text)                                        \
    X(int, InactiveTabColor, static_cast<int>(0x8000000Eu), Number)                                \
    X(int, InactiveFontColor, static_cast<int>(0x80000003u), Number)                               \
    X(bool, AskDefaultBrowser, true, Flag)                                                         \
    X(bool, TabsDown, true, Flag)                                                                  \
    X(bool, Maximized, false, Flag)                                                                \
    X(int, Left, 10, Number)                                                                       \
    X(int, Top, 10, Number)                                                                        \
    X(int, Width, 638, Number)                                                                     \
    X(int, Height, 478, Number)                                                                    \
    X(bool, SBAutoExpand, true, Flag)                                                              \
    X(bool, OpenNewInForeground, false, Flag)                                                      \
    X(bool, ViewToolbar, true, Flag)                                                               \
    X(bool, ViewAddressBar, true, Flag)                                                            \
    X(bool, ViewLinksBar, true, Flag)                                                              \
    X(bool, ViewStatusBar, true, Flag)                                                             \
    X(bool, FullScreen, false, Flag)                                                               \
    X(bool, ViewSorvelBar, false, Flag)                                                            \
    X(QString, CommandLine, QString(), Text)                                                       \
    X(bool, PopupSorvelNotify, true, Flag)                                                         \
    X(QString, CtrlPre, QStringLiteral("http://www."), Text)                                       \
    X(QString, CtrlPost, QStringLiteral(".com"), Text)                                             \
    X(QString, ShiftPre, QStringLiteral("http://www."), Text)                                      \
    X(QString, ShiftPost, QStringLiteral(".net"), Text)                                            \
    X(QString, CtrlShiftPre, QStringLiteral("http://www."), Text)                                  \
    X(QString, CtrlShiftPost, QStringLiteral(".org"), Text)                                        \
    X(bool, AllowMultiInstance, false, Flag)                                                       \
    X(bool, AskProfile, true, Flag)                                                                \
    X(int, AutoCompleteStyle, TPVOptions::StyleIE5, Completion)                                    \
    X(bool, ConfirmCloseAll, true, Flag)                                                           \
    X(bool, FavoritesNewWin, true, Flag)                                                           \
    X(bool, HistoryNewWin, true, Flag)                                                             \
    X(bool, LinksNewWin, true, Flag)                                                               \
    X(bool, SearchNewWin, true, Flag)                                                              \
    X(int, NewAction, 0, Action)                                                                   \
    X(int, FavoritesHeight, 400, Number)                                                           \
    X(int, FavoritesWidth, 250, Number)                                                            \
    X(bool, DisableALTShortcuts, false, Flag)                                                      \
    X(bool, SearchFromAddressBar, true, Flag)                                                      \
    X(int, FreezeTabsAfter, 30, Number)                                                            \
    X(int, UnloadTabsAfter, 120, Number)                                                           \
    X(bool, SpellCheck, true, Flag)                                                                \
    X(QString, SpellCheckLanguage, QString(), Text)                                                \
    X(bool, PdfViewer, true, Flag)

// The settings store. Nothing is kept in memory: every Get reads the hive and every Set
// writes it at once, so two running copies see each other's changes (the one that writes
// last wins). Lists are exchanged as "name=value" lines.
//
// A value stored with a type other than text reads as its default, and the hive notes it
// (RegistryHive::takeIgnoredValues) so that the user can be told. Write errors are not
// caught here: "Failed to set data for '<name>'" or "Failed to create key <key>".
class TPVOptions final
{
public:
    // Address completion styles of "AutoCompleteStyle".
    enum CompletionStyle
    {
        StyleNone = 0,
        StyleIE4 = 1,
        StyleIE5 = 2
    };

    // Opens the user's program key "Software\Brenmoor\Pelvane", creating it if missing.
    explicit TPVOptions(RegistryHive& hive);
    RegistryHive& hive() const { return m_hive; }
    TPVOptions(const TPVOptions&) = delete;
    TPVOptions& operator=(const TPVOptions&) = delete;

#define PVOPTIONS_DECLARE(Type, Name, Default, Rule)                                               \
    Type Get##Name() const;                                                                        \
    void Set##Name(Type value);
    PVOPTIONS_SCALARS(PVOPTIONS_DECLARE)
#undef PVOPTIONS_DECLARE

    // Each setting's default, as a read of a missing value gives it: Defaults::Name().
    struct Defaults
    {
#define PVOPTIONS_DECLARE_DEFAULT(Type, Name, Default, Rule) static Type Name();
        PVOPTIONS_SCALARS(PVOPTIONS_DECLARE_DEFAULT)
#undef PVOPTIONS_DECLARE_DEFAULT
    };

    // The list sub-keys. A write replaces the whole list in one step: readers in other
    // copies see the old list or the new one, never a part. An empty list leaves no
    // sub-key; a line without "=" is left out; a name written twice keeps its first place
    // and its last value. A read leaves out values whose text is empty.
    QStringList GetLastOpenSites() const;
    void SetLastOpenSites(const QStringList& lines);
    QStringList GetPopupSorvelList() const;
    void SetPopupSorvelList(const QStringList& lines);
    QStringList GetSearchEngines() const;
    void SetSearchEngines(const QStringList& lines);
    QStringList GetSearchBarList() const;
    void SetSearchBarList(const QStringList& lines);

    // The "Last Open Sites" lines for the tabs' addresses in tab order: last tab first,
    // "url" and the tab's 1-based position, tabs without an address left out.
    static QStringList BuildLastOpenSites(const QStringList& tabAddresses);

    // The shipped search page that the side bar's search pane shows by default.
    static QString DefaultSearchBar();

    // "AutoCompleteStyle" as stored and as used: "IE4" is 1, "IE5" is 2, anything else
    // (compared exactly) is 0; writing 1 or 2 gives those texts, any other style "none".
    static int CompletionStyleFromText(const QString& text);
    static QString CompletionStyleText(int style);

    // The key path below HKEY_CURRENT_USER, for the places that open it themselves.
    static QString CurrentVersionKey(); // "\Software\Brenmoor\Pelvane\CurrentVersion"

    // While a Held lives, the settings of "CurrentVersion" are read from one copy taken in
    // a single look-up when it began, instead of one look-up each: the main window reads
    // some fifty at creation. Sets still write at once, and keep the copy current. Helds
    // nest: only the outermost takes the copy.
    class Held final
    {
    public:
        explicit Held(const TPVOptions& options);
        ~Held();
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        const TPVOptions& m_options;
        const bool m_outermost; // an inner Held leaves the outer one's copy alone
    };

    // Whether "CurrentVersion" holds a value of this name, of whatever type.
    bool IsStored(const QString& name) const;

private:
    std::optional<RegistryHive::Value> storedValue(const QString& name) const;
    std::optional<QString> readText(const QString& name) const;
    void writeText(const QString& name, const QString& text);
    qint64 currentVersion(bool create) const;
    QStringList readList(const QString& subKey) const;
    void writeList(const QString& subKey, const QStringList& lines);

    RegistryHive& m_hive;
    // Where "CurrentVersion" was last found. Key ids are never reused, so while a key of
    // this id exists it is that key, and what it holds is current; once another copy has
    // deleted it (and perhaps made it anew) the path is looked up again.
    mutable qint64 m_currentVersion = 0;
    // The copy a Held took, by lower-case name; nothing while none is held.
    mutable std::optional<QHash<QString, RegistryHive::Value>> m_held;
};
