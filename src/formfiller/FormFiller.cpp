#include "formfiller/FormFiller.h"

#include "formfiller/FormFillerQuestions.h"
#include "formfiller/FormScripts.h"
#include "formfiller/InputTypes.h"
#include "integration/ProfileCard.h"
#include "platform/Registry.h"
#include "platform/web/WebBrowser.h"
#include "settings/PVOptions.h"

#include <QSet>
#include <QTimer>
#include <QUrl>

namespace {

QString sitesKey()
{
    return TPVOptions::CurrentVersionKey() + QStringLiteral("\\FormFiller Sites");
}

} // namespace

TFormFiller::TFormFiller(Setup setup, QObject* parent)
    : QObject(parent)
    , m_setup(std::move(setup))
{
    Q_ASSERT(m_setup.hive && m_setup.questions);
}

void TFormFiller::Fill(ProfileKind mode, TWebBrowser* browser)
{
    if (m_running)
        return;
    m_running = true;
    m_mode = mode;
    m_browser = browser;

    try {
        TPVOptions options(*m_setup.hive);
        if (options.GetAskProfile() && m_setup.questions->showProfileNotice(options))
            m_setup.questions->editProfile(m_setup.profilePath);
    } catch (const RegistryError& error) {
        // The notice could not keep its answer; the fill goes on as the notice would.
        m_setup.questions->tell(error.message());
    }
    // The tab may have gone while the notice was open.
    if (!m_browser || !m_browser->HasDocument()) {
        finish(0);
        return;
    }
    const QPointer<TFormFiller> self(this);
    m_browser->backend()->runJavaScript(
        FormScripts::collectFields(), {FormScripts::MaxNameLength, FormScripts::MaxFields},
        [self](const QVariant& result) {
            // Questions come next: out of the engine's call first.
            if (self)
                QTimer::singleShot(0, self, [self, result] { self->collected(result); });
        });
}

void TFormFiller::collected(const QVariant& result)
{
    const QList<FormField> fields = fieldsFromScript(result);
    if (fields.isEmpty() || !m_browser) {
        finish(0);
        return;
    }
    const ProfileStore::Loaded profile = ProfileStore::load(m_setup.profilePath);
    if (profile.status == ProfileStore::Status::Damaged) {
        m_setup.questions->tell(
            QStringLiteral("Your profile could not be read, so nothing was filled in.\n\n%1\n\n"
                           "Open My Profile to make it again.")
                .arg(profile.error));
        finish(0);
        return;
    }
    QString mapError;
    const FieldMap map = FieldMap::load(m_setup.programFolder, m_setup.sharedFolder, &mapError);
    if (!mapError.isEmpty())
        m_setup.questions->tell(
            QStringLiteral("The list of form fields could not be read, so fields are matched by "
                           "their own names and autocomplete values only.\n\n%1")
                .arg(mapError));
    const Plan planned = plan(fields, map, m_mode, profile.card);
    // The tab may have gone while the user read that.
    if (planned.answers.isEmpty() || !m_browser) {
        finish(0);
        return;
    }

    const QString address = m_browser->LocationURL();
    const QString site = siteOf(address);
    if (!isAllowedAlways(*m_setup.hive, site)) {
        QStringList labels;
        for (const QString& attribute : planned.attributes)
            labels << ProfileCard::labelOf(attribute);
        const auto consent = m_setup.questions->askConsent(site, labels);
        if (consent == FormFillerQuestions::Consent::Deny) {
            finish(0);
            return;
        }
        if (consent == FormFillerQuestions::Consent::AllowAlways) {
            try {
                allowAlways(*m_setup.hive, site);
            } catch (const RegistryError& error) {
                // Allowed this time all the same; the next fill asks again.
                m_setup.questions->tell(error.message());
            }
        }
    }
    // The page may have been closed, or have moved to another site (another address, for a
    // page without a site), while the user chose.
    if (!m_browser || (site.isEmpty() ? m_browser->LocationURL() != address
                                      : siteOf(m_browser->LocationURL()) != site)) {
        finish(0);
        return;
    }

    QVariantList pairs;
    pairs.reserve(planned.answers.size());
    for (const Answer& answer : planned.answers)
        pairs << QVariant(QVariantList{answer.name, answer.type, answer.value});
    const QPointer<TFormFiller> self(this);
    m_browser->backend()->runJavaScript(FormScripts::fillFields(), {QVariant(pairs)},
                                        [self](const QVariant& filled) {
                                            if (self)
                                                self->finish(filled.toInt());
                                        });
}

void TFormFiller::finish(int filled)
{
    m_running = false;
    Q_EMIT finished(filled);
}

TFormFiller::Plan TFormFiller::plan(const QList<FormField>& fields, const FieldMap& map,
                                    ProfileKind mode, const ProfileCard& card)
{
    Plan result;
    QSet<QString> named;  // names and types answered (first answer wins in the page)
    QSet<QString> shared; // attributes listed
    for (const FormField& field : fields) {
        const QString attribute = map.attributeFor(field, mode);
        const QString value = card.attribute(attribute);
        if (value.isEmpty() || !InputTypes::takes(field.type, value))
            continue;
        const QString key = field.name.toLower() + QLatin1Char('\n') + field.type;
        if (!named.contains(key)) {
            named.insert(key);
            result.answers.append({field.name, field.type, value});
        }
        const QString canonical = ProfileCard::canonicalName(attribute);
        if (!shared.contains(canonical)) {
            shared.insert(canonical);
            result.attributes << canonical;
        }
    }
    return result;
}

QList<FormField> TFormFiller::fieldsFromScript(const QVariant& result)
{
    QList<FormField> fields;
    const QVariantList list = result.toList();
    for (const QVariant& item : list) {
        if (fields.size() >= FormScripts::MaxFields)
            break;
        const QVariantList field = item.toList();
        if (field.size() != 3)
            continue;
        const QString name = field.at(0).toString();
        const QString type = field.at(2).toString();
        if (name.isEmpty() || name.size() > FormScripts::MaxNameLength ||
            !InputTypes::isFilled(type))
            continue;
        fields.append({name, field.at(1).toString().left(FormScripts::MaxNameLength), type});
    }
    return fields;
}

QString TFormFiller::siteOf(const QString& url)
{
    const QUrl address(url);
    if (address.scheme().isEmpty())
        return {};
    if (address.host().isEmpty())
        return {}; // every local file would be one site
    QString site = address.scheme() + QStringLiteral("://") + address.host();
    if (address.port() != -1)
        site += QLatin1Char(':') + QString::number(address.port());
    return site;
}

bool TFormFiller::isAllowedAlways(RegistryHive& hive, const QString& site)
{
    if (site.isEmpty())
        return false;
    try {
        TRegistry reg(hive);
        return reg.openKeyReadOnly(sitesKey()) && reg.valueExists(site) &&
               reg.readString(site) == QLatin1String("Allow");
    } catch (const RegistryError&) {
        return false; // asked again rather than shared unasked
    }
}

void TFormFiller::allowAlways(RegistryHive& hive, const QString& site)
{
    if (site.isEmpty())
        return;
    TRegistry reg(hive);
    if (reg.openKey(sitesKey(), true))
        reg.writeString(site, QStringLiteral("Allow"));
}
