#include "platform/Registry.h"
#include "support/TestHome.h"

#include <QCoreApplication>

class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesIgnoreCaseAndKeepOrder()
    {
        TRegistry reg;
        QVERIFY(reg.openKey(QStringLiteral("Software\\Brenmoor\\Order"), true));
        reg.writeString(QStringLiteral("b"), QStringLiteral("1"));
        reg.writeString(QStringLiteral("a"), QStringLiteral("2"));
        reg.writeString(QStringLiteral("C"), QStringLiteral("3"));
        reg.writeString(QStringLiteral("B"), QStringLiteral("rewritten")); // keeps its place
        QCOMPARE(reg.valueNames(), (QStringList{"b", "a", "C"}));
        QCOMPARE(reg.readString(QStringLiteral("b")), QStringLiteral("rewritten"));
        QVERIFY(reg.deleteValue(QStringLiteral("A")));
        reg.writeString(QStringLiteral("a"), QStringLiteral("again")); // goes to the end
        QCOMPARE(reg.valueNames(), (QStringList{"b", "C", "a"}));

        TRegistry other;
        QVERIFY(other.openKey(QStringLiteral("SOFTWARE\\brenmoor\\ORDER"), false));
        QCOMPARE(other.readString(QStringLiteral("c")), QStringLiteral("3"));
    }

    void typedValuesAndErrors()
    {
        TRegistry reg;
        QVERIFY(reg.openKey(QStringLiteral("Software\\Brenmoor\\Typed"), true));
        reg.writeInteger(QStringLiteral("n"), -2147483634);
        QCOMPARE(reg.readInteger(QStringLiteral("n")), -2147483634);
        try {
            (void)reg.readString(QStringLiteral("n"));
            QFAIL("reading a DWORD as text must fail");
        } catch (const RegistryError& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid data type for 'n'"));
        }
        QVERIFY(reg.readString(QStringLiteral("missing")).isEmpty());
    }

    void deleteKeyTakesTheSubtree()
    {
        TRegistry reg;
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Gone\\Deep\\Deeper"), true));
        reg.writeString(QString(), QStringLiteral("default"));
        reg.closeKey();
        QVERIFY(reg.deleteKey(QStringLiteral("Software\\Gone")));
        QVERIFY(!reg.keyExists(QStringLiteral("Software\\Gone\\Deep")));
        QVERIFY(!reg.keyExists(QStringLiteral("Software\\Gone")));
        QVERIFY(reg.keyExists(QStringLiteral("Software")));
    }
};

PELVANE_TEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
