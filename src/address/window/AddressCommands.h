#pragma once

#include <QObject>

#include <functional>

class AddressBand;
class AddressQuestions;
class TabSet;
class TPVOptions;
struct WindowSettings;

// Where the address band's text goes, and the typed-address list and completion.
class AddressCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(AddressCommands)

public:
    struct Parts
    {
        AddressBand& band;
        TabSet& tabs;
        WindowSettings& settings; // the window's working copies (AddressNewWin, the style)
        TPVOptions& options;      // the domain completion texts
        AddressQuestions& questions;
        // What a typed text opens: an address as typed, or the search for words.
        std::function<QString(const QString& typed)> addressForTyped;
        bool ie4Mode = false;
    };

    explicit AddressCommands(Parts parts, QObject* parent = nullptr);

    // What the address band commits: the active tab goes there, unless it is locked or
    // AddressNewWin is set; then a new tab in front.
    void commitAddress(const QString& typed);
    void SetAutoCompleteStyle(int style);
    void LoadAddressCompletion();
    // Asks first; the typed-address list is emptied.
    void ClearAddresses();

private:
    Parts m_parts;
};
