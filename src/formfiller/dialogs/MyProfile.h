#pragma once

#include "integration/ProfileCard.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

// "My Profile": the user's card, a page of personal and a page of business attributes.
// OK writes the card; "Import from card..." takes what a card from an address book holds.
// A card that cannot be read opens empty with the reason shown; it is set aside beside
// the new one when OK writes, never overwritten.
class TfrmMyProfile final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMyProfile)

public:
    // `chooseCard` asks for the file to import (empty when cancelled); empty: a file dialog.
    explicit TfrmMyProfile(const QString& path, QWidget* parent = nullptr,
                           std::function<QString()> chooseCard = {});

    // The card as the dialog shows it now, with the properties of the card read that it
    // has no field for.
    ProfileCard card() const;
    // Shows the card's attributes; those it does not have keep what they show.
    void showCard(const ProfileCard& card, bool replace);
    // Imports the card in the file; false (with the reason shown) when it cannot be read.
    bool importFrom(const QString& file);
    // The message line (a damaged card, a failed import or write); empty when hidden.
    QString message() const;

    void accept() override;

private:
    void setMessage(const QString& text);
    QString chooseFile();

    QString m_path;
    ProfileCard m_read; // as loaded: empty when missing or damaged
    bool m_damaged = false;
    QString m_damagedMessage;
    std::function<QString()> m_chooseCard;
    QTabWidget* m_pages = nullptr;
    QLabel* m_message = nullptr;
    QHash<QString, QLineEdit*> m_edits; // by attribute name
    QPlainTextEdit* m_notes = nullptr;
};
