#pragma once

#include "formfiller/FieldMapping.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

class FormFillerQuestions;
class ProfileCard;
class RegistryHive;
class TWebBrowser;

// Types the user's profile into the fields of the page a browser shows. One object
// per fill: Fill() starts it, finished() ends it (the page's scripts answer later).
//
// The way of one fill: the notice while "AskProfile" is on; a script collects the page's
// fields; each field's attribute comes from formfiller.ini (FieldMap), and its value is
// typed only where the field takes a value of that kind (InputTypes); the user is
// asked once per site whether it may have the data, unless "Allow always" was chosen for
// it before; a second script sets the values, handed to it as data. Fields whose attribute
// is empty keep what the page or the user put there.
class TFormFiller final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormFiller)

public:
    struct Setup
    {
        RegistryHive* hive = nullptr;             // "AskProfile" and the allowed sites
        FormFillerQuestions* questions = nullptr; // required
        QString profilePath;                      // the card (ProfileStore::defaultPath)
        QString programFolder;                    // the user's formfiller.ini, if any
        QString sharedFolder;                     // the installed formfiller.ini
    };

    // The value for the fields of a name and a type.
    struct Answer
    {
        QString name;
        QString type;
        QString value;
        friend bool operator==(const Answer&, const Answer&) = default;
    };
    // In the page's order.
    using Answers = QList<Answer>;
    struct Plan
    {
        Answers answers;        // only fields whose attribute has a value
        QStringList attributes; // the attributes shared, each once, in the page's order
    };

    TFormFiller(Setup setup, QObject* parent = nullptr);

    // mode 0 business, 1 personal.
    void Fill(ProfileKind mode, TWebBrowser* browser);

    // The answers for the fields a page has: what the requests of each field get from the
    // card. Empty attributes give no answer, nor does a value the field's type does not take
    // (a name in an e-mail field).
    static Plan plan(const QList<FormField>& fields, const FieldMap& map, ProfileKind mode,
                     const ProfileCard& card);
    // The fields a collect script answered, within FormScripts' bounds; anything malformed
    // is skipped.
    static QList<FormField> fieldsFromScript(const QVariant& result);
    // The site a consent is remembered for: scheme, host and port of the address. Empty for
    // an address without a host (a local file, data:, about:): nothing is remembered for it.
    static QString siteOf(const QString& url);
    static bool isAllowedAlways(RegistryHive& hive, const QString& site);
    static void allowAlways(RegistryHive& hive, const QString& site);

Q_SIGNALS:
    // Once per Fill, with the number of fields set (0 when the fill stopped anywhere).
    void finished(int filled);

private:
    void collected(const QVariant& result);
    void finish(int filled);

    Setup m_setup;
    ProfileKind m_mode = ProfileKind::Personal;
    QPointer<TWebBrowser> m_browser;
    bool m_running = false;
};
