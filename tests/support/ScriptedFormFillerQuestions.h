#pragma once

#include "formfiller/FormFillerQuestions.h"
#include "settings/PVOptions.h"

#include <QStringList>

#include <functional>

// Answers the form filler's questions as a test sets them up and records each one:
// "notice", "profile", "consent <site>: <labels|...>", and everything told.
class ScriptedFormFillerQuestions final : public FormFillerQuestions
{
public:
    bool dontShowAgain = false; // the notice's check box, ticked when it closes
    bool createProfile = false; // the notice's "Proceed..."
    Consent consent = Consent::Allow;
    // Runs while a question is open, as the user or the page might meanwhile.
    std::function<void()> whileAsking;

    QStringList asked;
    QStringList told;

    bool showProfileNotice(TPVOptions& options) override
    {
        asked << QStringLiteral("notice");
        if (dontShowAgain)
            options.SetAskProfile(false);
        meanwhile();
        return createProfile;
    }
    bool editProfile(const QString&) override
    {
        asked << QStringLiteral("profile");
        return false;
    }
    Consent askConsent(const QString& site, const QStringList& attributes) override
    {
        asked << QStringLiteral("consent %1: %2").arg(site, attributes.join(QLatin1Char('|')));
        meanwhile();
        return consent;
    }
    void tell(const QString& text) override { told << text; }

private:
    void meanwhile()
    {
        if (whileAsking)
            whileAsking();
    }
};
