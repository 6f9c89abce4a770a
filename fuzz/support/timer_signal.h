// libFuzzer's timer signal must not land inside the bridge's guarded
// frames, where it would count as a fault: a fuzz target holds it back
// while it calls the bridge, and it is delivered when the scope ends.
#ifndef FUZZ_SUPPORT_TIMER_SIGNAL_H
#define FUZZ_SUPPORT_TIMER_SIGNAL_H

#include <pthread.h>
#include <signal.h>

class TimerSignalHeldBack {
 public:
  TimerSignalHeldBack() {
    sigset_t timer;
    sigemptyset(&timer);
    sigaddset(&timer, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &timer, &m_previous);
  }
  ~TimerSignalHeldBack() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
  TimerSignalHeldBack(const TimerSignalHeldBack&) = delete;
  TimerSignalHeldBack& operator=(const TimerSignalHeldBack&) = delete;

 private:
  sigset_t m_previous;
};

#endif
