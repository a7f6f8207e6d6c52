#include "address/AddressBand.h"
#include "blocking/ContentBlocker.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/TabSleeper.h"
#include "browser/PopupControl.h"
#include "browser/strip/PVPageControl.h"
#include "desktop/PGTrayIcon.h"
#include "desktop/TrayControl.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "settings/OptionsRules.h"
#include "settings/dialogs/Options.h"
#include "settings/dialogs/TabColorsPage.h"
#include "sidebar/SideBar.h"
#include "support/MainWindowFixture.h"
#include "support/OptionsFixture.h"
#include "support/Pictures.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

using namespace OptionsFixture;

class TestOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titleLimitRules_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("limited");
        QTest::addColumn<int>("shown");
        QTest::newRow("default") << 35 << true << 35;
        QTest::newRow("no limit offers 35") << 0 << false << 35;
        QTest::newRow("over the top") << 250 << true << 100;
        QTest::newRow("the top") << 100 << true << 100;
        QTest::newRow("one") << 1 << true << 1;
        QTest::newRow("negative is no limit") << -5 << false << 35;
    }
    void titleLimitRules()
    {
        QFETCH(int, stored);
        QFETCH(bool, limited);
        QFETCH(int, shown);
        const OptionsRules::TitleLimitShown view = OptionsRules::titleLimitShown(stored);
        QCOMPARE(view.limited, limited);
        QCOMPARE(view.length, shown);
        QCOMPARE(OptionsRules::titleLimitStored(false, shown), 0);
        QCOMPARE(OptionsRules::titleLimitStored(true, shown), shown);
    }

    void startupAndPopupRules()
    {
        using namespace OptionsRules;
        QCOMPARE(startupChoice(QStringLiteral("Last")), StartupLast);
        QCOMPARE(startupChoice(QStringLiteral("Home")), StartupHome);
        QCOMPARE(startupChoice(QStringLiteral("home")), StartupGroup); // exact comparison
        QCOMPARE(startupChoice(QStringLiteral("xyz")), StartupGroup);
        QCOMPARE(startupChoice(QString()), StartupGroup);
        QCOMPARE(startupModeText(StartupGroup), QStringLiteral("SorvelGroup"));

        QVERIFY(!isValidStartupGroup(QString()));
        QVERIFY(!isValidStartupGroup(QDir::tempPath())); // a folder is no group
        QVERIFY(!isValidStartupGroup(QDir::temp().filePath(QStringLiteral("none-such.sgp"))));

        QCOMPARE(popupItemsFromLines({"url1=http://a/?x=1", "garbage", "url2=", "u=b"}),
                 (QStringList{"http://a/?x=1", "", "b"}));
        QCOMPARE(popupLinesFromItems({"a%1", "", "c"}),
                 (QStringList{"url1=a%1", "url2=", "url3=c"}));
    }

    void titleLimitIsStoredAsChecked()
    {
        Setup d;
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            QVERIFY(child<QCheckBox>(&dialog, "chkLimitTitles")->isChecked());
            QCOMPARE(child<QSpinBox>(&dialog, "spnMaxTitle")->value(), 35);
            child<QSpinBox>(&dialog, "spnMaxTitle")->setValue(60);
            child<QCheckBox>(&dialog, "chkLimitTitles")->setChecked(false);
            QVERIFY(!child<QSpinBox>(&dialog, "spnMaxTitle")->isEnabled());
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.settings().limitTitleLength, 0);
        }
        QCOMPARE(d.stored(QStringLiteral("LimitTitleLength")), QStringLiteral("0"));

        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            QVERIFY(!child<QCheckBox>(&dialog, "chkLimitTitles")->isChecked());
            QVERIFY(!child<QSpinBox>(&dialog, "spnMaxTitle")->isEnabled());
            child<QCheckBox>(&dialog, "chkLimitTitles")->setChecked(true);
            QVERIFY(child<QSpinBox>(&dialog, "spnMaxTitle")->isEnabled());
            QCOMPARE(child<QSpinBox>(&dialog, "spnMaxTitle")->value(), 35);
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.settings().limitTitleLength, 35);
        }
        QCOMPARE(d.stored(QStringLiteral("LimitTitleLength")), QStringLiteral("35"));

        d.options().SetLimitTitleLength(250);
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            QCOMPARE(child<QSpinBox>(&dialog, "spnMaxTitle")->value(), 100);
            child<QPushButton>(&dialog, "cmdOK")->click();
        }
        QCOMPARE(d.stored(QStringLiteral("LimitTitleLength")), QStringLiteral("100"));
    }

    void addressNewWinShowsInBothPlaces()
    {
        Setup d;
        d.current.addressNewWin = true;
        d.options().SetAddressNewWin(false); // the window's working copy counts
        d.options().SetHistoryNewWin(false);
        TfrmOptions dialog(d.hive, d.current, d.context);
        QListWidget* list = child<QListWidget>(&dialog, "clbNewTabs");
        QCheckBox* box = child<QCheckBox>(&dialog, "chkAddressNewWin");
        QCOMPARE(list->count(), 5);
        QCOMPARE(list->item(4)->text(), QStringLiteral("Addresses typed in address combo"));
        QCOMPARE(list->item(4)->checkState(), Qt::Checked);
        QVERIFY(box->isChecked());
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);

        box->setChecked(false);
        QCOMPARE(list->item(4)->checkState(), Qt::Unchecked);
        list->item(4)->setCheckState(Qt::Checked);
        QVERIFY(box->isChecked());
        list->item(4)->setCheckState(Qt::Unchecked);
        QVERIFY(!box->isChecked());
        list->item(0)->setCheckState(Qt::Unchecked); // the other items stay apart
        QVERIFY(!box->isChecked());

        child<QPushButton>(&dialog, "cmdOK")->click();
        QVERIFY(!dialog.settings().addressNewWin);
        QCOMPARE(dialog.settings().newTabFlags, (NewTabFlags{false, false, true, true}));
        QCOMPARE(d.stored(QStringLiteral("FavoritesNewWin")), QStringLiteral("0"));
        QCOMPARE(d.stored(QStringLiteral("SearchNewWin")), QStringLiteral("1"));
    }

    void popupListIsEditedInPlaceAndStoredInOrder()
    {
        Setup d;
        d.options().SetPopupSorvelList({"url1=http://ads.", "url2=http://pop.", "url3=http://x."});
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QListWidget* list = child<QListWidget>(&dialog, "lvPopupSorvel");
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->item(1)->text(), QStringLiteral("http://pop."));

            // Enter on the list opens the item for typing, and Enter in the editor takes the
            // text without closing the dialog.
            list->setCurrentRow(0);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Return);
            QLineEdit* editor = openEditor(list);
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Delete);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(list->item(0)->text(), QString());
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.result(), 0);

            // Space opens it too; Esc leaves it as it was.
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Space);
            QTRY_VERIFY(openEditor(list));
            QTest::keyClicks(openEditor(list), QStringLiteral("zzz"));
            QTest::keyClick(openEditor(list), Qt::Key_Escape);
            QTRY_VERIFY(!openEditor(list) || !openEditor(list)->isVisible());
            QCOMPARE(list->item(1)->text(), QStringLiteral("http://pop."));
            QVERIFY(dialog.isVisible());

            list->setCurrentRow(2);
            child<QPushButton>(&dialog, "btnDelete")->click();
            QCOMPARE(list->count(), 2);

            child<QPushButton>(&dialog, "btnInsert")->click();
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->item(2)->text(), QStringLiteral("New Item"));
            QTRY_VERIFY(openEditor(list));
            QTest::keyClick(openEditor(list), Qt::Key_Return);
            QTRY_COMPARE(list->currentRow(), 2);

            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        TRegistry reg(d.hive);
        QVERIFY(reg.openKey(CurrentVersion + QStringLiteral("\\PopupSorvel"), false));
        QCOMPARE(reg.valueNames(), (QStringList{"url1", "url2", "url3"}));
        QCOMPARE(reg.readString(QStringLiteral("url1")), QString());
        QCOMPARE(reg.readString(QStringLiteral("url3")), QStringLiteral("New Item"));

        // The emptied entry is not read back.
        TfrmOptions again(d.hive, d.current, d.context);
        QListWidget* list = child<QListWidget>(&again, "lvPopupSorvel");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("http://pop."));
    }

    void startupGroupMustExist()
    {
        Setup d;
        TfrmOptions dialog(d.hive, d.current, d.context);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* group = child<QRadioButton>(&dialog, "rdoStartupVarloGroup");
        QLineEdit* edit = child<QLineEdit>(&dialog, "edtStartupVarloGroup");
        auto* choose = child<QPushButton>(&dialog, "cmdStartVarloGroup");
        QVERIFY(!edit->isEnabled() && !choose->isEnabled());
        group->setChecked(true);
        QVERIFY(edit->isEnabled() && choose->isEnabled());
        const QByteArray before = d.dump();

        const QString missing = QDir(qEnvironmentVariable("PELVANE_HOME")).filePath("gone.sgp");
        for (const QString& path : {QString(), missing}) {
            edit->setText(path);
            QString said;
            dialog.setNotice([&said](QWidget*, const QString& text) { said = text; });
            child<QTabWidget>(&dialog, "pgOptions")->setCurrentIndex(0);
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(said, QStringLiteral("Please select a valid startup SorvelGroup."));
            QVERIFY(dialog.isVisible());
            QCOMPARE(child<QTabWidget>(&dialog, "pgOptions")->currentWidget()->objectName(),
                     QStringLiteral("tsStartup"));
            QCOMPARE(dialog.focusWidget(), edit); // where focus returns to
        }
        QVERIFY(dialog.settings() == d.current);
        QCOMPARE(d.dump(), before);

        // The chooser's answer goes into the edit; a cancelled choice leaves it.
        const QString groupFile = TestFiles::writeFile(TestFiles::home("work.sgp"), {});
        QString startedIn;
        dialog.setGroupChooser([&](QWidget*, const QString& folder) {
            startedIn = folder;
            return groupFile;
        });
        choose->click();
        QCOMPARE(edit->text(), groupFile);
        QVERIFY(startedIn.endsWith(QLatin1String("SorvelGroups")));
        dialog.setGroupChooser([](QWidget*, const QString&) { return QString(); });
        choose->click();
        QCOMPARE(edit->text(), groupFile);

        child<QPushButton>(&dialog, "cmdOK")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(d.stored(QStringLiteral("StartupMode")), QStringLiteral("SorvelGroup"));
        QCOMPARE(d.stored(QStringLiteral("StartupSorvelGroup")), groupFile);
    }

    void startupModeShowsAndIsStored()
    {
        Setup d;
        d.options().SetStartupMode(QStringLiteral("xyz"));
        d.options().SetStartupSorvelGroup(QStringLiteral("/kept/a.sgp"));
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            QVERIFY(child<QRadioButton>(&dialog, "rdoStartupVarloGroup")->isChecked());
            QCOMPARE(child<QLineEdit>(&dialog, "edtStartupVarloGroup")->text(),
                     QStringLiteral("/kept/a.sgp"));
            child<QRadioButton>(&dialog, "rdoStartupLast")->setChecked(true);
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(d.stored(QStringLiteral("StartupMode")), QStringLiteral("Last"));
        // Only the group choice writes the group.
        QCOMPARE(d.stored(QStringLiteral("StartupSorvelGroup")), QStringLiteral("/kept/a.sgp"));
        TfrmOptions dialog(d.hive, d.current, d.context);
        QVERIFY(child<QRadioButton>(&dialog, "rdoStartupLast")->isChecked());
        QVERIFY(child<QLineEdit>(&dialog, "edtStartupVarloGroup")->text().isEmpty());
    }

    void cancelWritesNothing()
    {
        Setup d;
        TPVOptions seed = d.options();
        seed.SetPopupSorvelList({"url1=http://a.", "url2=http://b."});
        seed.SetTabColorScheme(QStringLiteral("std"));
        seed.SetCtrlPre(QStringLiteral("https://"));
        const QByteArray before = d.dump();
        for (const bool byKey : {false, true}) {
            TfrmOptions dialog(d.hive, d.current, d.context);
            dialog.show();
            setChecked(&dialog, {"chkDisableAltShortcuts", "radColorCustom"});
            child<QAbstractButton>(&dialog, "chkLimitTitles")->setChecked(false);
            child<QLineEdit>(&dialog, "edtCtrlPre")->setText(QStringLiteral("ftp://"));
            child<QPushButton>(&dialog, "btnDelete")->click();
            setChecked(&dialog, {"chkAddressNewWin", "rdoNoneAC"});
            if (byKey)
                QTest::keyClick(child<QLineEdit>(&dialog, "edtCtrlPre"), Qt::Key_Escape);
            else
                child<QPushButton>(&dialog, "cmdCancel")->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QVERIFY(!dialog.isVisible());
            QVERIFY(dialog.settings() == d.current);
        }
        QCOMPARE(d.dump(), before);
    }

    // Beside the freeze option: ticked with two hours unless told; cleared stores 0 (never),
    // and the minutes come back as they were when it is ticked again.
    void unloadingIdleTabsIsStoredAsSet()
    {
        Setup d;
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            auto* unload = child<QCheckBox>(&dialog, "chkUnloadTabs");
            auto* minutes = child<QSpinBox>(&dialog, "spnUnloadAfter");
            QCOMPARE(unload->text(), QStringLiteral("&Unload tabs not used for"));
            QVERIFY(unload->isChecked() && minutes->isEnabled());
            QCOMPARE(minutes->value(), 120);
            QCOMPARE(minutes->suffix(), QStringLiteral(" minutes"));
            // In the same group as the freeze option, on the row below it.
            auto* freeze = child<QCheckBox>(&dialog, "chkFreezeTabs");
            QCOMPARE(unload->parentWidget(), freeze->parentWidget());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            child<QTabWidget>(&dialog, "pgOptions")->setCurrentWidget(
                child<QWidget>(&dialog, "tsBrowserTabs"));
            QVERIFY(unload->isVisible());
            QVERIFY(unload->mapTo(&dialog, QPoint()).y() > freeze->mapTo(&dialog, QPoint()).y());
            picture(dialog, QStringLiteral("options-browser-tabs"));
            minutes->setValue(45);
            unload->setChecked(false);
            QVERIFY(!minutes->isEnabled());
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.settings().unloadTabsAfter, 0);
        }
        QCOMPARE(d.stored(QStringLiteral("UnloadTabsAfter")), QStringLiteral("0"));

        d.current.unloadTabsAfter = 0;
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            auto* minutes = child<QSpinBox>(&dialog, "spnUnloadAfter");
            QVERIFY(!child<QCheckBox>(&dialog, "chkUnloadTabs")->isChecked());
            QVERIFY(!minutes->isEnabled());
            QCOMPARE(minutes->value(), 120);
            child<QCheckBox>(&dialog, "chkUnloadTabs")->setChecked(true);
            minutes->setValue(0); // below the range: the least, one minute
            QCOMPARE(minutes->value(), 1);
            minutes->setValue(WindowSettings::MaxUnloadTabsAfter + 1);
            child<QPushButton>(&dialog, "cmdOK")->click();
            QCOMPARE(dialog.settings().unloadTabsAfter, WindowSettings::MaxUnloadTabsAfter);
        }
        QCOMPARE(d.stored(QStringLiteral("UnloadTabsAfter")), QStringLiteral("10080"));
        // The freeze option is stored beside it, untouched.
        QCOMPARE(d.stored(QStringLiteral("FreezeTabsAfter")), QStringLiteral("30"));
    }

    void okWritesTheSettingsAndHandsTheRestToTheWindow()
    {
        Setup d;
        d.current.openNewAtEnd = true;
        d.current.sgCloseFirst = true;
        d.options().SetNewAction(2);
        d.options().SetAutoCompleteStyle(TPVOptions::StyleNone);
        {
            TfrmOptions dialog(d.hive, d.current, d.context);
            QVERIFY(child<QRadioButton>(&dialog, "radNewActionHome")->isChecked());
            QVERIFY(child<QRadioButton>(&dialog, "rdoNoneAC")->isChecked());
            QVERIFY(child<QCheckBox>(&dialog, "chkOpenNewAtEnd")->isChecked());
            QVERIFY(child<QCheckBox>(&dialog, "chkVarloGroupsCloseOthersFirst")->isChecked());
            QVERIFY(child<QCheckBox>(&dialog, "chkTabsDown")->isChecked());
            QCOMPARE(child<QLineEdit>(&dialog, "edtShiftPost")->text(), QStringLiteral(".net"));

            setChecked(&dialog, {"chkDisableAltShortcuts", "radNewActionCurrent", "rdoIE4AC",
                                 "chkMinToTray", "chkOpenInFront", "chkAllowMultiInstance",
                                 "chkMultipleLines", "chkShowGo", "radColorStandard"});
            setChecked(&dialog,
                       {"chkVarloGroupsCloseOthersFirst", "chkSBAutoExpand", "chkTabsDown",
                        "chkUsePopupSorvel", "chkDefaultBrowser"},
                       false);
            child<QLineEdit>(&dialog, "edtCtrlPost")->clear();
            child<QLineEdit>(&dialog, "edtShiftPre")->setText(QStringLiteral(" x "));
            child<QPushButton>(&dialog, "cmdOK")->click();
            const WindowSettings after = dialog.settings();
            QVERIFY(after.disableAltShortcuts);
            QCOMPARE(after.newAction, 1);
            QCOMPARE(after.autoCompleteStyle, 1);
            QVERIFY(after.minToTray && !after.sgCloseFirst && after.openNewAtEnd);
            QVERIFY(!after.sbAutoExpand && after.openNewInForeground && after.showGo);
            QVERIFY(!after.usePopupSorvel && after.multipleLines);
            QCOMPARE(dialog.tabColors(),
                     (TabColors::TabColorPair{TabColors::clBtnFace, TabColors::clWindowText}));
        }

        const QList<std::pair<const char*, const char*>> expected = {
            {"DisableALTShortcuts", "1"}, {"NewAction", "1"},         {"AutoCompleteStyle", "IE4"},
            {"MinToTray", "1"},           {"TabColorScheme", "std"},  {"AllowMultiInstance", "1"},
            {"StartupMode", "Home"},      {"TabsDown", "0"},          {"ShowGo", "1"},
            {"MultipleLines", "1"},       {"UsePopupSorvel", "0"},    {"CtrlPost", ""},
            {"ShiftPre", " x "},          {"AskDefaultBrowser", "0"}, {"LimitTitleLength", "35"},
        };
        for (const auto& [name, value] : expected)
            QCOMPARE(d.stored(QString::fromLatin1(name)), QString::fromLatin1(value));
        // The window's working copies reach the settings when the window closes, and the
        // custom pair is kept only for the custom scheme.
        for (const char* name :
             {"SGCloseFirst", "OpenNewAtEnd", "AddressNewWin", "OpenNewInForeground",
              "SBAutoExpand", "InactiveTabColor", "StartupSorvelGroup"})
            QCOMPARE(d.stored(QString::fromLatin1(name)), QStringLiteral("<none>"));
        // An empty list leaves no sub-key.
        QCOMPARE(d.stored(QStringLiteral("url1"), CurrentVersion + QStringLiteral("\\PopupSorvel")),
                 QStringLiteral("<none>"));
    }

    void completionInIE4Mode()
    {
        Setup d;
        d.context.ie4Mode = true;
        {
            TfrmOptions dialog(d.hive, d.current,
                               d.context); // stored IE5: what is in force, IE4, shows
            QVERIFY(child<QRadioButton>(&dialog, "rdoIE5AC")->isHidden());
            QVERIFY(child<QLabel>(&dialog, "lblACNote")->isHidden());
            QVERIFY(child<QRadioButton>(&dialog, "rdoIE4AC")->isChecked());
            child<QPushButton>(&dialog, "cmdOK")->click();
        }
        QCOMPARE(d.stored(QStringLiteral("AutoCompleteStyle")), QStringLiteral("IE4"));
        d.context.ie4Mode = false;
        TfrmOptions dialog(d.hive, d.current, d.context);
        QVERIFY(!child<QRadioButton>(&dialog, "rdoIE5AC")->isHidden());
    }

    void tabColorsPreviewAndCustomPair()
    {
        Setup d;
        TPVOptions seed = d.options();
        seed.SetTabColorScheme(QStringLiteral("custom"));
        seed.SetInactiveTabColor(0x00FF00);
        seed.SetInactiveFontColor(TabColors::clWindowText);
        TfrmOptions dialog(d.hive, d.current, d.context);
        dialog.show();
        TabColorsPage* page = dialog.colorsPage();
        TPVPageControl* preview = child<TPVPageControl>(&dialog, "pg");
        QVERIFY(child<QRadioButton>(&dialog, "radColorCustom")->isChecked());
        QVERIFY(child<QWidget>(&dialog, "pnlCustomColors")->isVisibleTo(page));
        QCOMPARE(preview->InactiveTabColor(), 0x00FF00);
        QCOMPARE(child<QWidget>(&dialog, "pnlTabColor")->palette().color(QPalette::Window),
                 QColor(0, 255, 0));

        child<QRadioButton>(&dialog, "radColorReverse")->setChecked(true);
        QVERIFY(!child<QWidget>(&dialog, "pnlCustomColors")->isVisibleTo(page));
        QCOMPARE(preview->InactiveTabColor(), TabColors::clInactiveCaption);
        QCOMPARE(preview->InactiveFontColor(), TabColors::clHighlightText);

        // A chosen colour goes into the swatch and the preview; a cancelled one changes
        // nothing.
        child<QRadioButton>(&dialog, "radColorCustom")->setChecked(true);
        QColor offered;
        page->setColorChooser([&offered](const QColor& initial) -> std::optional<QColor> {
            offered = initial;
            return QColor(255, 0, 0);
        });
        child<QPushButton>(&dialog, "btnGetFontColor")->click();
        QCOMPARE(offered, dialog.palette().color(QPalette::WindowText));
        QCOMPARE(preview->InactiveFontColor(), 0x0000FF);
        page->setColorChooser([](const QColor&) { return std::optional<QColor>(); });
        child<QPushButton>(&dialog, "btnGetTabColor")->click();
        QCOMPARE(preview->InactiveTabColor(), 0x00FF00);

        // The preview's captions follow its active page.
        QCOMPARE(preview->pageCaption(preview->page(0)), QStringLiteral("Active Tab"));
        preview->setActivePageIndex(1);
        QCOMPARE(preview->pageCaption(preview->page(1)), QStringLiteral("Active Tab"));
        QCOMPARE(preview->pageCaption(preview->page(0)), QStringLiteral("Inactive Tab"));

        child<QPushButton>(&dialog, "cmdOK")->click();
        QCOMPARE(d.stored(QStringLiteral("TabColorScheme")), QStringLiteral("custom"));
        QCOMPARE(d.stored(QStringLiteral("InactiveTabColor")), QString::number(0x00FF00));
        QCOMPARE(d.stored(QStringLiteral("InactiveFontColor")), QString::number(0x0000FF));
        QCOMPARE(dialog.tabColors(), (TabColors::TabColorPair{0x00FF00, 0x0000FF}));

        // An unknown scheme shows as the reversed one.
        d.options().SetTabColorScheme(QStringLiteral("plaid"));
        TfrmOptions again(d.hive, d.current, d.context);
        QVERIFY(child<QRadioButton>(&again, "radColorReverse")->isChecked());
    }

    void withoutATrayTheOptionSaysSo()
    {
        Setup d;
        d.context.trayAvailable = false;
        d.current.minToTray = true;
        TfrmOptions dialog(d.hive, d.current, d.context);
        QCheckBox* box = child<QCheckBox>(&dialog, "chkMinToTray");
        QVERIFY(!box->isEnabled());
        QVERIFY(box->isChecked()); // kept for a desktop that has one
        QVERIFY(!child<QLabel>(&dialog, "lblNoTray")->text().isEmpty());
        d.context.trayAvailable = true;
        TfrmOptions withTray(d.hive, d.current, d.context);
        QVERIFY(child<QCheckBox>(&withTray, "chkMinToTray")->isEnabled());
        QVERIFY(!withTray.findChild<QLabel*>(QStringLiteral("lblNoTray")));
    }

    void keyboardAlone()
    {
        Setup d;
        TfrmOptions dialog(d.hive, d.current, d.context);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(child<QTabWidget>(&dialog, "pgOptions")->currentIndex(), 0);

        // No two controls of a page answer the same Alt key.
        const auto pages = child<QTabWidget>(&dialog, "pgOptions");
        for (int index = 0; index < pages->count(); ++index) {
            QStringList keys;
            const auto collect = [&keys](const QString& text) {
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                if (at >= 0 && at + 1 < text.size())
                    keys << text.at(at + 1).toLower();
            };
            const QWidget* page = pages->widget(index);
            for (const QAbstractButton* button : page->findChildren<QAbstractButton*>())
                collect(button->text());
            for (const QLabel* label : page->findChildren<QLabel*>())
                if (label->buddy())
                    collect(label->text());
            for (const QGroupBox* group : page->findChildren<QGroupBox*>())
                collect(group->title());
            QVERIFY2(!keys.isEmpty(), qPrintable(page->objectName()));
            QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        }

        // Space on the fifth new-tab item ticks it, and its twin on the Address Bar page.
        pages->setCurrentWidget(child<QWidget>(&dialog, "tsNewBrowserTabs"));
        QListWidget* list = child<QListWidget>(&dialog, "clbNewTabs");
        list->setFocus();
        list->setCurrentRow(4);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(4)->checkState(), Qt::Checked);
        QVERIFY(child<QCheckBox>(&dialog, "chkAddressNewWin")->isChecked());

        // Enter in an edit is OK.
        child<QLineEdit>(&dialog, "edtCtrlPre")->setText(QStringLiteral("gopher://"));
        QTest::keyClick(child<QLineEdit>(&dialog, "edtCtrlPre"), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(d.stored(QStringLiteral("CtrlPre")), QStringLiteral("gopher://"));
    }

    void dialogFitsASmallScreen()
    {
        Setup d;
        TfrmOptions dialog(d.hive, d.current, d.context);
        dialog.show();
        // Every page at its largest, with room left for a window frame.
        QVERIFY2(dialog.width() <= 1000 && dialog.height() <= 720,
                 qPrintable(QStringLiteral("%1x%2").arg(dialog.width()).arg(dialog.height())));
        QVERIFY(child<QPushButton>(&dialog, "cmdOK")->isDefault());
    }

    // --- With the main window ---------------------------------------------------------------

    void okAppliesToTheRunningWindow()
    {
        MainWindowFixture w({.trayAvailable = [] { return true; }});
        TBrowserTab* first = w->GetActivePage();
        TBrowserTab* second = w->NewTab();
        const QString title = QStringLiteral("A page title long enough to be cut in the strip");
        MainWindowFixture::fakeOf(first)->completeLoad(QStringLiteral("http://127.0.0.1/a"), title);
        MainWindowFixture::fakeOf(second)->completeLoad(QStringLiteral("http://127.0.0.1/b"),
                                                        title);
        second->SetStickyName(QStringLiteral("Pinned"));
        QCOMPARE(first->Caption(), title.left(35) + QStringLiteral("..."));
        QVERIFY(w->addressBand()->goButton()->isHidden());
        QCOMPARE(w->sleeper()->unloadAfterMinutes(), 120);

        changeOptions(w, [](TfrmOptions* dialog) {
            child<QSpinBox>(dialog, "spnMaxTitle")->setValue(10);
            child<QSpinBox>(dialog, "spnUnloadAfter")->setValue(15);
            setChecked(dialog, {"chkShowGo", "radColorStandard", "rdoNoneAC", "chkOpenInFront",
                                "chkAddressNewWin", "chkDisableAltShortcuts", "chkOpenNewAtEnd",
                                "chkMinToTray"});
            child<QAbstractButton>(dialog, "chkUsePopupSorvel")->setChecked(false);
            child<QPushButton>(dialog, "btnInsert")->click();
            child<QLineEdit>(dialog, "edtCtrlPost")->setText(QStringLiteral(".test"));
        });
        QCOMPARE(first->Caption(), title.left(10) + QStringLiteral("..."));
        QCOMPARE(second->Caption(), QStringLiteral("Pinned"));
        const WindowSettings now = w->settings();
        QCOMPARE(now.limitTitleLength, 10);
        QCOMPARE(w->sleeper()->unloadAfterMinutes(), 15);
        QCOMPARE(w->pages()->InactiveTabColor(), TabColors::clBtnFace);
        QCOMPARE(w->pages()->InactiveFontColor(), TabColors::clWindowText);
        QCOMPARE(w->sideBar()->paneStrip()->InactiveTabColor(), TabColors::clBtnFace);
        QCOMPARE(w->sideBar()->paneStrip()->InactiveFontColor(), TabColors::clWindowText);
        QVERIFY(!w->addressBand()->goButton()->isHidden());
        QCOMPARE(now.autoCompleteStyle, int(TPVOptions::StyleNone));
        QVERIFY(w->tabSet()->OpenNewInForeground());
        QVERIFY(w->action(ActionId::actForeground)->isChecked());
        QVERIFY(now.disableAltShortcuts && !now.usePopupSorvel && now.openNewAtEnd);
        QVERIFY(now.minToTray);
        QVERIFY(w->tray()->icon()->Active());
        // After the dialog the window reads the pop-up list again.
        QCOMPARE(w->popups()->PopupList(), QStringList{"url1=New Item"});
        QVERIFY(!w->IsPopupBlocked(QStringLiteral("New Item/x"))); // switched off

        // A new tab now goes to the end, in front.
        w->pages()->setActivePage(first);
        TBrowserTab* third = w->NewTab();
        QCOMPARE(w->tabs().last(), third);

        // The working copy shows when the dialog opens again in the same run, before any
        // of it is stored.
        QVERIFY(!w.options().GetAddressNewWin());
        bool shown = false;
        changeOptions(
            w,
            [&shown](TfrmOptions* dialog) {
                shown = child<QCheckBox>(dialog, "chkAddressNewWin")->isChecked() &&
                        child<QListWidget>(dialog, "clbNewTabs")->item(4)->checkState() ==
                            Qt::Checked &&
                        child<QCheckBox>(dialog, "chkOpenInFront")->isChecked();
            },
            false);
        QVERIFY(shown);
    }

    void cancelFromTheWindowChangesNothing()
    {
        MainWindowFixture w;
        TBrowserTab* tab = w->GetActivePage();
        const QString title = QStringLiteral("Another page title long enough to be cut short");
        MainWindowFixture::fakeOf(tab)->completeLoad(QStringLiteral("http://127.0.0.1/a"), title);
        const QString caption = tab->Caption();
        RegFile::Error error;
        const auto before = RegFile::exportKey(w.hive, QString(), &error);
        changeOptions(
            w,
            [](TfrmOptions* dialog) {
                child<QSpinBox>(dialog, "spnMaxTitle")->setValue(5);
                setChecked(dialog, {"radColorStandard", "chkOpenInFront"});
            },
            false);
        QCOMPARE(tab->Caption(), caption);
        QCOMPARE(w->pages()->InactiveTabColor(), TabColors::clInactiveCaption);
        QVERIFY(!w->tabSet()->OpenNewInForeground());
        QCOMPARE(RegFile::exportKey(w.hive, QString(), &error), before);
    }
};

PELVANE_TEST_MAIN(TestOptions)
#include "tst_options.moc"
