#include "kestrel.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

namespace {

constexpr int kDefaultLevel = 1;
constexpr int kExceptionLevel = 4;

// Everything below is guarded by g_lock: one line is written whole before
// the next starts.
std::mutex g_lock;
FILE* g_file = nullptr;
std::string g_fileName;
KestrelCaptureHook g_hook = nullptr;
void* g_hookContext = nullptr;

int thresholdLevel() {
  const char* value = std::getenv("KESTREL_TRACE_LEVEL");
  if (value == nullptr || *value == '\0') return kDefaultLevel;
  return std::atoi(value);
}

// Returns the stream the trace goes to, reopening when the configured file
// changed; NULL when the file cannot be opened.
FILE* outputStream() {
  const char* name = std::getenv("KESTREL_TRACE_FILE");
  if (name == nullptr || *name == '\0') {
    if (g_file != nullptr) {
      std::fclose(g_file);
      g_file = nullptr;
      g_fileName.clear();
    }
    return stderr;
  }
  if (g_file == nullptr || g_fileName != name) {
    if (g_file != nullptr) std::fclose(g_file);
    g_fileName = name;
    g_file = std::fopen(name, "a");
  }
  return g_file;
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

void writeLine(int level, const char* module, const std::string& text) {
  const char* moduleName = module != nullptr ? module : "";
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_hook != nullptr) g_hook(g_hookContext, moduleName, level, text.c_str());
  if (level < thresholdLevel()) return;
  FILE* out = outputStream();
  if (out == nullptr) return;

  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local;
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  long tid = static_cast<long>(syscall(SYS_gettid));
  std::fprintf(out, "%s.%03ld [%ld] L%d %s: %s\n", stamp, now.tv_nsec / 1000000L, tid, level,
               moduleName, text.c_str());
  std::fflush(out);
}

void writeFormatted(int level, const char* module, const char* format, va_list args) {
  try {
    writeLine(level, module, formatText(format, args));
  } catch (...) {
    // Tracing never fails its caller.
  }
}

}  // namespace

extern "C" {

void tracelog(int level, const char* module, const char* format, ...) {
  va_list args;
  va_start(args, format);
  writeFormatted(level, module, format, args);
  va_end(args);
}

void tracelogException(char* sourceFile, int line, const char* module, char* format, ...) {
  try {
    va_list args;
    va_start(args, format);
    std::string text = formatText(format, args);
    va_end(args);
    std::string where = sourceFile != nullptr ? sourceFile : "";
    writeLine(kExceptionLevel, module, where + "(" + std::to_string(line) + "): " + text);
  } catch (...) {
  }
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
  std::lock_guard<std::mutex> guard(g_lock);
  g_hook = hook;
  g_hookContext = context;
}

}  // extern "C"
