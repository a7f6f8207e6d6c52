#pragma once

#include <QString>
#include <QStringList>

class TPVOptions;

// What the form filler asks or tells the user. The program answers with its dialogs
// (FormFillerDialogs); tests answer from a script.
class FormFillerQuestions
{
public:
    enum class Consent
    {
        Allow,       // this once
        AllowAlways, // and remembered for the site
        Deny
    };

    virtual ~FormFillerQuestions() = default;

    // The notice shown before a fill while "AskProfile" is on; its check box writes
    // "AskProfile" through `options` when it closes. True when the user asked to make the
    // profile now.
    virtual bool showProfileNotice(TPVOptions& options) = 0;
    // The My Profile dialog on the card at `path`; true when a card was saved.
    virtual bool editProfile(const QString& path) = 0;
    // Whether `site` may have the listed data (labels for the user, in the page's order).
    // An empty site is a page without a host, which AllowAlways is not offered for.
    virtual Consent askConsent(const QString& site, const QStringList& attributes) = 0;
    // A failure the user must know about; returns when the user has seen it.
    virtual void tell(const QString& text) = 0;

protected:
    FormFillerQuestions() = default;
    FormFillerQuestions(const FormFillerQuestions&) = default;
    FormFillerQuestions& operator=(const FormFillerQuestions&) = default;
};
