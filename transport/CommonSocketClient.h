// One loopback connection: connect to 127.0.0.1:port, write one block, close.
#ifndef TRANSPORT_COMMONSOCKETCLIENT_H
#define TRANSPORT_COMMONSOCKETCLIENT_H

// Used by one thread for one exchange; any number of clients may send at once.
class CommonSocketClient {
 public:
  CommonSocketClient() = default;
  CommonSocketClient(const CommonSocketClient&) = delete;
  CommonSocketClient& operator=(const CommonSocketClient&) = delete;
  ~CommonSocketClient();

  // Creates the IPv4 stream socket; 1 on success, 0 on failure.
  int InitSocketClient();
  // Connects to 127.0.0.1:port; 1 on success, 0 on failure (the socket stays
  // open). A signal arriving meanwhile does not fail it.
  int ConnectServer(int port);
  // One write of len bytes; 1 only when all of them were written. The socket
  // is closed on every path. A peer that has gone away fails the write; it
  // never raises SIGPIPE.
  int SendData(char* data, int len);
  int SendData(void* data, int len);
  // Sends value as the "%ld" decimal payload of one frame to 127.0.0.1:port.
  int PostPointerMessage(long port, unsigned long value);
  // Sends text (at most 40959 bytes) as the payload of one frame to
  // 127.0.0.1:port.
  int PostTextMessage(long port, const char* text, int len);
  int CloseClient();

 private:
  int m_socket = -1;
};

#endif
