// The mutual-exclusion object guarding the provider's shared tables.
#ifndef PAVANE_THREADLOCK_H
#define PAVANE_THREADLOCK_H

#include <QMutex>
#include <qnamespace.h>  // Qt::HANDLE

#include <atomic>

// Not recursive: a thread that holds the lock must not lock it again.
// Lock and Unlock return 1. Unlock by a thread that does not hold the lock
// changes nothing (it is logged as a warning); the destructor releases a
// lock that is still held.
class CThreadLock {
 public:
  CThreadLock() = default;
  CThreadLock(const CThreadLock&) = delete;
  CThreadLock& operator=(const CThreadLock&) = delete;
  virtual ~CThreadLock();

  int Lock();
  int Unlock();

 private:
  QMutex m_mutex;                            // non-recursive
  std::atomic<Qt::HANDLE> m_owner{nullptr};  // the holding thread; written only by it
};

#endif
