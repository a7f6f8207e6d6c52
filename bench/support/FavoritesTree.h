#pragma once

// The Favorites folder the benchmarks measure: 20 top folders of 10 folders each (200),
// 25 shortcuts in each of the 200 (5,000 in all).
#include <QDir>
#include <QFile>
#include <QString>

inline void writeShortcut(const QString& path, const QString& url)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
}

inline void makeFavorites(const QString& root)
{
    for (int top = 0; top < 20; ++top) {
        for (int sub = 0; sub < 10; ++sub) {
            const QString folder = QStringLiteral("%1/Topic %2/Folder %3").arg(root).arg(top).arg(sub);
            QDir().mkpath(folder);
            for (int i = 0; i < 25; ++i) {
                const int n = (top * 10 + sub) * 25 + i;
                writeShortcut(QStringLiteral("%1/Page %2.url").arg(folder).arg(n),
                              QStringLiteral("http://site%1.example/page/%2").arg(n % 300).arg(n));
            }
        }
    }
}
