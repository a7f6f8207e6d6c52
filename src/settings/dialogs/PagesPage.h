#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;

// The options dialog's "Pages" page: what the engine offers in every page, the spelling of
// text fields and its language, and PDF documents shown in the tab.
class PagesPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagesPage)

public:
    // `languages` are those with a dictionary.
    PagesPage(const QStringList& languages, QWidget* parent = nullptr);

    // `language` empty: the one of the user's locale (the first item).
    void set(bool spellCheck, const QString& language, bool pdfViewer);
    bool spellCheck() const;
    // Empty for the locale's.
    QString language() const;
    bool pdfViewer() const;

private:
    QCheckBox* m_chkSpellCheck = nullptr;
    QComboBox* m_cmbLanguage = nullptr;
    QCheckBox* m_chkPdfViewer = nullptr;
};
