// Holds a CThreadLock for the life of a scope, released on every exit.
#ifndef PAVANE_LOCKGUARD_H
#define PAVANE_LOCKGUARD_H

#include "ThreadLock.h"

class CLockGuard {
 public:
  explicit CLockGuard(CThreadLock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~CLockGuard() { m_lock.Unlock(); }
  CLockGuard(const CLockGuard&) = delete;
  CLockGuard& operator=(const CLockGuard&) = delete;

 private:
  CThreadLock& m_lock;
};

#endif
