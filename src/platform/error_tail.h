// The end of what a child writes to its standard error: a thread reads the pipe
// as the child writes, so that the child never waits for us, and keeps only the
// last bytes, so that a flood costs no memory.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace win::detail {

class ErrorTail {
 public:
  // Takes over `readFd`, the pipe's reading end.
  ErrorTail(int readFd, std::size_t kept);
  ~ErrorTail();  // Finish()es, closes the pipe
  ErrorTail(const ErrorTail&) = delete;
  ErrorTail& operator=(const ErrorTail&) = delete;

  // Once the child has ended: reads what is still in the pipe and stops (a
  // grandchild that holds the pipe open does not keep us waiting).
  void Finish();
  // The last `kept` bytes read so far; after Finish, of all the child wrote.
  std::string Text();

 private:
  void Read();
  void Drain();
  void Append(const char* data, std::size_t size);

  int fd_;
  int wake_;
  std::size_t kept_;
  std::mutex mutex_;  // tail_
  std::string tail_;
  std::mutex finishing_;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace win::detail
