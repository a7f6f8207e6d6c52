#pragma once

#include <QString>

#include <memory>

class InstanceLock;

// A session another copy left behind when it ended abnormally, in a web profile slot that
// no running copy holds now. Copies take the first free slot, so the next start may never
// run in that slot again: the copy that finds it brings its tabs back beside its own.
struct LeftSession
{
    QString file; // its session file; its run marker lies beside it
    // The slot's lock, held until the session is gone, so that a copy started meanwhile in
    // that slot does not bring the same tabs back too.
    std::shared_ptr<InstanceLock> hold;
};
