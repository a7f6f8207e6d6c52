#pragma once

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A desktop of its own for the tests of its programs (mail, files opened from links): XDG data and
// config folders in a temporary folder, made the process's own through the XDG variables, and fake
// programs that write their working folder and arguments, one a line, to "<program>.args".
class FakeDesktop final
{
public:
    FakeDesktop()
    {
        QDir().mkpath(applications());
        QDir().mkpath(path(QStringLiteral("config")));
        QDir().mkpath(path(QStringLiteral("bin")));
        qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toUtf8());
        qputenv("XDG_DATA_DIRS", path(QStringLiteral("system")).toUtf8());
        // The system's file types stay known: they are no program of the desktop.
        QDir().mkpath(path(QStringLiteral("system")));
        QFile::link(QStringLiteral("/usr/share/mime"), path(QStringLiteral("system/mime")));
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", path(QStringLiteral("system-config")).toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic"); // xdg-email's plain desktop rules
        qunsetenv("MAILER");
        qputenv("BROWSER", "/bin/false"); // never a web browser for a "mailto:"
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString applications() const { return path(QStringLiteral("data/applications")); }
    QString mimeAppsList() const { return path(QStringLiteral("config/mimeapps.list")); }

    // A fake program named `name` in the fake bin folder; answers its path. It ends with
    // `exitCode`.
    QString program(const QString& name, int exitCode = 0) const
    {
        const QString file = path(QStringLiteral("bin/") + name);
        TestFiles::writeFile(file, QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do printf "
                                                  "'%s\\n' \"$a\"; done; } > \"$0.args.new\"\n"
                                                  "mv \"$0.args.new\" \"$0.args\"\nexit %1\n")
                                       .arg(exitCode)
                                       .toUtf8());
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }
    // A fake program `name` with an entry "<name>.desktop" that handles `type` and starts it
    // with `exec` after the program; answers the program's path.
    QString client(const QString& name,
                   const QString& type = QStringLiteral("x-scheme-handler/mailto"),
                   const QString& exec = QStringLiteral(" %u"), int exitCode = 0) const
    {
        const QString file = program(name, exitCode);
        entry(name + QStringLiteral(".desktop"),
              QStringLiteral("Name=%1\nExec=%2%3\nMimeType=%4;\n").arg(name, file, exec, type));
        return file;
    }
    // A desktop entry (file `id` below the applications folder, "/" for a vendor folder).
    void entry(const QString& id, const QString& keys) const
    {
        TestFiles::writeFile(QDir(applications()).filePath(id),
                             ("[Desktop Entry]\nType=Application\n" + keys).toUtf8());
    }
    // What a fake program received: its working folder, then its arguments; empty until it
    // ran.
    static QStringList received(const QString& program)
    {
        QFile file(program + QStringLiteral(".args"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        lines.removeLast();
        return lines;
    }

private:
    QTemporaryDir m_dir;
};
