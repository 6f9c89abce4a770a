// Helpers shared by the test suites.
#ifndef TESTS_SUPPORT_TEST_SUPPORT_H
#define TESTS_SUPPORT_TEST_SUPPORT_H

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// A fresh directory below $TMPDIR (or /tmp), removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

struct TraceLine {
  std::string module;
  int level;
  std::string text;
};

// Receives every Kestrel line while it lives (one capture at a time).
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<TraceLine> lines() const;
  // Lines whose text contains `part` (and, when level > 0, at that level).
  int count(const std::string& part, int level = 0) const;
  bool contains(const std::string& part, int level = 0) const { return count(part, level) > 0; }
  // Lines whose text equals `text` exactly.
  int countExact(const std::string& text, int level = 0) const;
  void clear();

 private:
  static void hook(void* context, const char* module, int level, const char* text);
  mutable std::mutex m_lock;
  std::vector<TraceLine> m_lines;
};

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreePort();

// Polls pred every millisecond until it holds or timeoutMs passed.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);

// The forms in which secret data may leak into text: the data itself, its
// hexadecimal in either case, and its base64 from each of the three
// alignments.
std::vector<std::string> LeakForms(const std::string& data);
// The first of LeakForms(data) that text contains; empty when none.
std::string LeakIn(const std::string& text, const std::string& data);

}  // namespace testsupport

#endif
