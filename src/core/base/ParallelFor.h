#pragma once
#include <functional>

namespace quiltara {

/// Runs body(begin, end) over [0, count) in chunks of `grain`, on the calling thread
/// and the helper threads of one pool kept for the life of the program (one helper
/// fewer than the machine has cores). A ParallelFor called from inside a helper's
/// chunk runs on that helper alone, so loops may nest without waiting on each other.
/// Chunks are handed out in order; the calling thread calls progress(done) after each
/// chunk it finishes, so a progress reporter that is not thread-safe is only ever
/// touched from the caller's thread; progress(count) comes last, once everything is
/// done. Every chunk writes its own part of the output, so the result does not depend
/// on how the chunks were shared out.
void ParallelFor(int count, int grain, const std::function<void(int begin, int end)>& body,
                 const std::function<void(int done)>& progress = {});

/// Number of threads ParallelFor uses (at least 1).
int WorkerCount();

} // namespace quiltara
