#include "kestrel.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

namespace {

constexpr int kDefaultLevel = 1;
constexpr int kExceptionLevel = 4;
constexpr time_t kReopenDelaySeconds = 1;  // between attempts on a file that will not open

struct TraceState {
  std::mutex lock;  // guards every field below; one line is written whole before the next
  int fd = -1;      // the open trace file, -1 when none
  std::string fileName;      // the name fd was opened (or last tried) under
  time_t failedAt = 0;       // when opening fileName last failed, 0 when it did not
  KestrelCaptureHook hook = nullptr;
  void* hookContext = nullptr;
};

// Never destroyed: detached threads and other libraries' static destructors
// may still trace while the process exits.
TraceState& state() {
  static TraceState* traceState = new TraceState;
  return *traceState;
}

int thresholdLevel() {
  const char* value = std::getenv("KESTREL_TRACE_LEVEL");
  if (value == nullptr || *value == '\0') return kDefaultLevel;
  return std::atoi(value);
}

void closeFile(TraceState& s) {
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  s.fileName.clear();
  s.failedAt = 0;
}

// Opens the trace file for appending without ever blocking: a FIFO that
// nobody reads fails at once instead of holding the caller. Writes block
// as usual once it is open, so a line is never cut short.
int openForAppend(const char* name) {
  int fd = ::open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return -1;
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The descriptor the trace goes to, reopening when the configured file
// changed; -1 when the file cannot be opened (tried again a little later).
// Called with the lock held.
int outputDescriptor(TraceState& s) {
  const char* name = std::getenv("KESTREL_TRACE_FILE");
  if (name == nullptr || *name == '\0') {
    closeFile(s);
    return STDERR_FILENO;
  }
  if (s.fileName != name) {
    closeFile(s);
    s.fileName = name;
  }
  if (s.fd < 0) {
    time_t now = std::time(nullptr);
    if (s.failedAt != 0 && now - s.failedAt < kReopenDelaySeconds) return -1;
    s.fd = openForAppend(name);
    s.failedAt = s.fd < 0 ? now : 0;
  }
  return s.fd;
}

// Writes the line with as few writes as the descriptor allows (one, for any
// file opened for appending). A trace on a closed pipe must not raise
// SIGPIPE in the caller, so the signal is held back for the write and a
// SIGPIPE that the write itself raised is taken away again.
void writeWhole(int fd, const std::string& line) {
  sigset_t pipeOnly, previous;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  sigset_t pending;
  sigpending(&pending);
  bool pipeWasPending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);

  const char* data = line.data();
  size_t left = line.size();
  bool brokenPipe = false;
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      brokenPipe = written < 0 && errno == EPIPE;
      break;  // a trace that cannot be written is skipped
    }
    data += written;
    left -= static_cast<size_t>(written);
  }

  if (brokenPipe && !pipeWasPending) {
    struct timespec none = {0, 0};
    while (sigtimedwait(&pipeOnly, nullptr, &none) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

std::string formatText(const char* format, va_list args) {
  if (format == nullptr) return std::string();
  char small[1024];
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, needed);
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, args);
  text.resize(static_cast<size_t>(needed));
  return text;
}

// "2024-05-01 13:45:12.345 [4711] L2 WFPX: text\n"
std::string composeLine(int level, const char* module, const std::string& text) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local;
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  char head[96];
  std::snprintf(head, sizeof head, "%s.%03ld [%ld] L%d ", stamp, now.tv_nsec / 1000000L,
                static_cast<long>(syscall(SYS_gettid)), level);
  std::string line(head);
  line.append(module).append(": ").append(text).push_back('\n');
  return line;
}

void writeLine(int level, const char* module, const std::string& text) {
  const char* moduleName = module != nullptr ? module : "";
  bool wanted = level >= thresholdLevel();
  TraceState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.hook != nullptr) s.hook(s.hookContext, moduleName, level, text.c_str());
  if (!wanted) return;
  int fd = outputDescriptor(s);
  if (fd >= 0) writeWhole(fd, composeLine(level, moduleName, text));
}

// Formats and writes one line, prefixed with "where(line): " when `where` is
// given. Nothing it throws reaches the caller, and the caller's errno is
// kept: tracing never changes what the caller does next.
void traceFormatted(int level, const char* module, const char* where, int line,
                    const char* format, va_list args) noexcept {
  const int callerErrno = errno;
  struct RestoreErrno {
    int value;
    ~RestoreErrno() { errno = value; }
  } restore{callerErrno};
  try {
    std::string text;
    if (where != nullptr) text.append(where).append("(").append(std::to_string(line)).append("): ");
    text.append(formatText(format, args));
    writeLine(level, module, text);
  } catch (...) {
  }
}

}  // namespace

extern "C" {

void tracelog(int level, const char* module, const char* format, ...) {
  va_list args;
  va_start(args, format);
  traceFormatted(level, module, nullptr, 0, format, args);
  va_end(args);
}

void tracelogException(char* sourceFile, int line, const char* module, char* format, ...) {
  va_list args;
  va_start(args, format);
  traceFormatted(kExceptionLevel, module, sourceFile != nullptr ? sourceFile : "", line, format,
                 args);
  va_end(args);
}

void traceEnter(const char* module, const char* className, const char* function, int level) {
  tracelog(level, module, "[%s::%s] =====>", className != nullptr ? className : "",
           function != nullptr ? function : "");
}

void traceLeave(const char* module, const char* className, const char* function, int level) {
  tracelog(level, module, "[%s::%s] <=====", className != nullptr ? className : "",
           function != nullptr ? function : "");
}

void KestrelSetCaptureHook(KestrelCaptureHook hook, void* context) {
  try {
    TraceState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.hook = hook;
    s.hookContext = context;
  } catch (...) {
  }
}

}  // extern "C"
