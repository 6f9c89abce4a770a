#include "ThreadLock.h"

#include <QThread>

#include "kestrel.h"

CThreadLock::~CThreadLock() {
  // Unlocking a mutex nobody holds is undefined, so only a held one is released.
  if (m_owner.exchange(nullptr) != nullptr) m_mutex.unlock();
}

int CThreadLock::Lock() {
  m_mutex.lock();
  m_owner = QThread::currentThreadId();
  return 1;
}

int CThreadLock::Unlock() {
  if (m_owner != QThread::currentThreadId()) {
    tracelog(3, "WFPX", "CThreadLock::Unlock by a thread that does not hold the lock");
    return 1;
  }
  m_owner = nullptr;
  m_mutex.unlock();
  return 1;
}
