#include "formfiller/dialogs/FormFillerDialogs.h"

#include "formfiller/dialogs/FormFiller.h"
#include "formfiller/dialogs/MyProfile.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

// How many attributes the question lists before "and n more": a page may ask for all.
constexpr int ListedAttributes = 12;

} // namespace

bool FormFillerDialogs::showProfileNotice(TPVOptions& options)
{
    TfrmFormFiller notice(options, m_owner);
    notice.exec();
    if (!notice.error().isEmpty())
        tell(QStringLiteral("Your choice not to see the FormFiller message again could not be "
                            "kept, so it will be shown next time.\n\n%1")
                 .arg(notice.error()));
    return notice.proceed();
}

bool FormFillerDialogs::editProfile(const QString& path)
{
    TfrmMyProfile dialog(path, m_owner);
    return dialog.exec() == QDialog::Accepted;
}

QMessageBox* FormFillerDialogs::consentBox(const QString& site, const QStringList& attributes,
                                           QWidget* parent)
{
    QStringList lines;
    for (const QString& attribute : attributes.mid(0, ListedAttributes))
        lines << QStringLiteral("\u2022 ") + attribute;
    if (attributes.size() > ListedAttributes)
        lines << QStringLiteral("and %1 more").arg(attributes.size() - ListedAttributes);
    auto* box =
        new QMessageBox(QMessageBox::Question, QStringLiteral("FormFiller"),
                        QStringLiteral("%1 asks for this information from your profile:\n\n%2\n\n"
                                       "Do you want to fill in the form with it?")
                            .arg(site.isEmpty() ? QStringLiteral("This page") : site,
                                 lines.join(QLatin1Char('\n'))),
                        QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("FormFillerConsent"));
    QPushButton* allow = box->addButton(QStringLiteral("Allow"), QMessageBox::AcceptRole);
    allow->setObjectName(QStringLiteral("cmdAllow"));
    if (!site.isEmpty()) // a page without a site is asked about each time
        box->addButton(QStringLiteral("Allow always for this site"), QMessageBox::YesRole)
            ->setObjectName(QStringLiteral("cmdAllowAlways"));
    QPushButton* deny = box->addButton(QStringLiteral("Don't allow"), QMessageBox::RejectRole);
    deny->setObjectName(QStringLiteral("cmdDeny"));
    box->setDefaultButton(allow);
    box->setEscapeButton(deny);
    return box;
}

FormFillerQuestions::Consent FormFillerDialogs::consentOf(QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked || clicked->objectName() == QLatin1String("cmdDeny"))
        return Consent::Deny;
    return clicked->objectName() == QLatin1String("cmdAllowAlways") ? Consent::AllowAlways
                                                                    : Consent::Allow;
}

FormFillerQuestions::Consent FormFillerDialogs::askConsent(const QString& site,
                                                           const QStringList& attributes)
{
    std::unique_ptr<QMessageBox> box(consentBox(site, attributes, m_owner));
    box->exec();
    return consentOf(*box);
}

void FormFillerDialogs::tell(const QString& text)
{
    QMessageBox::warning(m_owner, QStringLiteral("FormFiller"), text);
}
