#pragma once

#include <QString>

// A private folder that lasts for one run: the program's temporary page copies go there,
// and it is removed with everything in it when the owner goes. A folder at that place that
// is not this user's own private one is left alone (and never used, see
// Paths::ownPrivateFolderProblem).
class RunFolder final
{
public:
    explicit RunFolder(const QString& path);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    QString path() const { return m_path; }

private:
    QString m_path;
};
