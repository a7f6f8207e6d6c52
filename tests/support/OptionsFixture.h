#pragma once

#include "commands/ActionId.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "settings/dialogs/Options.h"
#include "support/MainWindowFixture.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <initializer_list>

// What the options dialog's tests share: the dialog's settings in a hive of their own, its
// widgets by name, and the dialog opened from the window's menu.
namespace OptionsFixture {

inline const QString CurrentVersion = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");

// The dialog's settings: a hive of its own, the window's working copies and what the
// dialog must know of the running program.
struct Setup
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};
    WindowSettings current;
    TfrmOptions::Context context{false, true};

    TPVOptions options() { return TPVOptions(hive); }
    QByteArray dump()
    {
        RegFile::Error error;
        return RegFile::exportKey(hive, QString(), &error).value_or("<none>");
    }
    // The value as stored, or "<none>" when it is missing.
    QString stored(const QString& name, const QString& key = CurrentVersion)
    {
        TRegistry reg(hive);
        if (!reg.openKey(key, false) || !reg.valueExists(name))
            return QStringLiteral("<none>");
        return reg.readString(name);
    }
};

template<typename T>
inline T* child(const QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

// Ticks (or clears) the named check boxes and radio buttons, in that order.
inline void setChecked(const QWidget* dialog, std::initializer_list<const char*> names, bool on = true)
{
    for (const char* name : names)
        child<QAbstractButton>(dialog, name)->setChecked(on);
}

// The in-place editor of the list, open now.
inline QLineEdit* openEditor(const QListWidget* list)
{
    return list->viewport()->findChild<QLineEdit*>();
}

// Opens the options dialog from the window's menu, lets `change` work on it, then presses
// OK (or Cancel).
inline void changeOptions(MainWindowFixture& w, const std::function<void(TfrmOptions*)>& change,
                   bool ok = true)
{
    w.questions.onDialog = [&change, ok](QDialog& dialog) {
        auto* options = qobject_cast<TfrmOptions*>(&dialog);
        QVERIFY(options);
        change(options);
        child<QPushButton>(options, ok ? "cmdOK" : "cmdCancel")->click();
    };
    w->action(ActionId::actOptions)->trigger();
    w.questions.onDialog = nullptr;
}

} // namespace OptionsFixture
