#pragma once

#include <QTemporaryDir>
#include <QtTest>

// Gives the test process a private, empty PELVANE_HOME before anything reads a path, so
// no test sees the user's data or another test's.
class TestHome final
{
public:
    TestHome()
    {
        Q_ASSERT(m_dir.isValid());
        qputenv("PELVANE_HOME", m_dir.path().toLocal8Bit());
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Like QTEST_MAIN, with a private PELVANE_HOME made first. Use PELVANE_TEST_MAIN for widget
// tests and PELVANE_TEST_GUILESS_MAIN for logic.
#define PELVANE_TEST_MAIN_IMPL(TestObject, AppType)                                            \
    int main(int argc, char** argv)                                                            \
    {                                                                                          \
        TestHome home;                                                                         \
        AppType app(argc, argv);                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                               \
        TestObject tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }

#define PELVANE_TEST_MAIN(TestObject) PELVANE_TEST_MAIN_IMPL(TestObject, QApplication)
#define PELVANE_TEST_GUILESS_MAIN(TestObject) PELVANE_TEST_MAIN_IMPL(TestObject, QCoreApplication)
