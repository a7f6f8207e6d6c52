// The window's named operations whose work is done by its parts: each hands over to the
// part that owns the concern.
#include "app/MainWindow.h"

#include "app/WindowFavorites.h"
#include "app/WindowFormFiller.h"
#include "app/WindowLinks.h"
#include "app/WindowMail.h"
#include "app/WindowSearch.h"

// --- Search ---

void TfrmMain::GoSearch()
{
    m_search->GoSearch();
}
void TfrmMain::LoadSearchEngines()
{
    m_search->LoadSearchEngines();
}
void TfrmMain::OrganizeSearchEngines()
{
    m_search->OrganizeSearchEngines();
}
SearchPane* TfrmMain::searchPane() const
{
    return m_search ? m_search->pane() : nullptr;
}

// --- Favorites ---

FavoritesMenu* TfrmMain::favoritesMenu() const
{
    return m_favorites->menu();
}
TfrmFavorites* TfrmMain::favoritesWindow() const
{
    return m_favorites->floatingWindow();
}
QString TfrmMain::favoritesFolder() const
{
    return m_favorites->folder();
}
void TfrmMain::AddToFavorites(const QString& address, const QString& title)
{
    m_favorites->AddToFavorites(address, title);
}
void TfrmMain::ShowFavoritesWindow()
{
    m_favorites->ShowFavoritesWindow();
}
void TfrmMain::OrganizeFavorites()
{
    m_favorites->OrganizeFavorites();
}
void TfrmMain::ImportExportFavorites(bool importing)
{
    m_favorites->ImportExportFavorites(importing);
}

// --- Links ---

TLinksBar* TfrmMain::linksBar() const
{
    return m_links->bar();
}
void TfrmMain::OpenLink(const QString& address, bool shiftHeld)
{
    m_links->OpenLink(address, shiftHeld);
}
void TfrmMain::OrganizeLinks()
{
    m_links->OrganizeLinks();
}

// --- Mail ---

MailNews* TfrmMain::mail() const
{
    return m_mail->mail();
}
void TfrmMain::SendPageByMail()
{
    m_mail->SendPageByMail();
}

// --- Form filler ---

void TfrmMain::FillForm(ProfileKind mode)
{
    m_formFiller->FillForm(mode);
}
void TfrmMain::ShowMyProfile()
{
    m_formFiller->ShowMyProfile();
}
