// The listening side of one logical service: accepts connections on
// 127.0.0.1:port and hands over the text of each one, read to the end of
// the stream.
//
// One thread per listener serves the listening socket and every open
// connection; all its sockets belong to that thread. Start and Stop are
// called from one controlling thread.
#ifndef DEVSIM_LISTENER_H
#define DEVSIM_LISTENER_H

#include <functional>
#include <string>
#include <thread>

namespace devsim {

class RequestListener {
 public:
  using TextHandler = std::function<void(const std::string& text)>;
  using ProblemHandler = std::function<void(const std::string& what)>;

  // Both handlers run on the listener's thread.
  RequestListener(TextHandler onText, ProblemHandler onProblem);
  ~RequestListener();  // Stop()
  RequestListener(const RequestListener&) = delete;
  RequestListener& operator=(const RequestListener&) = delete;

  // Listens on 127.0.0.1:port (0: a free port) and starts the thread; false
  // with *error when the port cannot be had. Nothing stays open on failure.
  bool Start(int port, std::string* error);
  // Closes the listening socket and every connection; joins the thread.
  void Stop();
  // The port listened on; 0 when stopped.
  int Port() const { return m_port; }

 private:
  void Run();

  TextHandler m_onText;
  ProblemHandler m_onProblem;
  int m_listenFd = -1;  // owned by the thread while it runs
  int m_wakeRead = -1;
  int m_wakeWrite = -1;
  int m_port = 0;
  std::thread m_thread;
};

}  // namespace devsim

#endif
