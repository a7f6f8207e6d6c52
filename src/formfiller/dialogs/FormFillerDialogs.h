#pragma once

#include "formfiller/FormFillerQuestions.h"

class QMessageBox;
class QWidget;

// The form filler's questions as the program's dialogs, owned by `owner` (the main window,
// whose font they take).
class FormFillerDialogs final : public FormFillerQuestions
{
public:
    explicit FormFillerDialogs(QWidget* owner)
        : m_owner(owner)
    {}

    bool showProfileNotice(TPVOptions& options) override;
    bool editProfile(const QString& path) override;
    Consent askConsent(const QString& site, const QStringList& attributes) override;
    void tell(const QString& text) override;

    // The consent question as a box, not yet shown, and the answer its clicked button gives.
    // "Allow always" is offered only for a site (an empty one is a page without a host).
    static QMessageBox* consentBox(const QString& site, const QStringList& attributes,
                                   QWidget* parent);
    static Consent consentOf(QMessageBox& box);

private:
    QWidget* m_owner;
};
