#include "platform/RunFolder.h"

#include "platform/Paths.h"

#include <QDir>

RunFolder::RunFolder(const QString& path)
    : m_path(path)
{}

RunFolder::~RunFolder()
{
    if (Paths::ownPrivateFolderProblem(m_path).isEmpty())
        QDir(m_path).removeRecursively();
}
