#pragma once

#include <QDateTime>
#include <QString>

#include <atomic>

// The copies of pages handed to other programs (a mail program's attachment, a page opened
// in an editor) live in one private folder of the user's (Paths::pageCopiesFolder). They
// outlast the run that made them: the other program reads them when it likes (a mail is
// sent, an edit is saved) and may still be open after we exit. Copies are dropped a week
// after they were last written.
namespace PageCopies {

inline constexpr int KeepDays = 7;

// Removes every copy (a file or a folder of one, directly in `folder`) last written before
// `before`; answers how many went. Nothing is touched in a folder that is not the user's
// own private one, nor after `cancelled` is set.
int prune(const QString& folder, const QDateTime& before, const std::atomic_bool& cancelled);

} // namespace PageCopies
