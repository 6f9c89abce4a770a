// The threads of this process, as the system lists them.
#ifndef XFSMGR_PROCESS_THREADS_H
#define XFSMGR_PROCESS_THREADS_H

namespace xfsmgr {

// Entries of /proc/self/task; -1 when it cannot be read.
int CountThreads();

// Waits until at most `count` threads run (true) or timeoutMs passed.
bool WaitForThreadCount(int count, int timeoutMs);

}  // namespace xfsmgr

#endif
