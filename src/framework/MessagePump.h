#pragma once

namespace vb {

// Translates and dispatches every message waiting in the calling thread's queue, dialog keys
// included, so its windows keep answering while the thread is busy with a long piece of work.
void DispatchPendingMessages();

}  // namespace vb
