// Ending the program by Ctrl+C, a closed terminal or a request to terminate
// (SIGINT, SIGHUP, SIGTERM) ends the packaging tools it is running too. The
// tools run detached, in process groups of their own, where a terminal's
// Ctrl+C does not reach them: without this they would go on writing for a
// program that is gone.
#pragma once

#include <string_view>

namespace kc::platform {

// From now on, each of those signals sends SIGTERM to the process group of
// every detached child that is still running, writes one line
// "<program>: stopped ..." to standard error and ends the program by the same
// signal (a non-zero exit status; the kernel releases its locks). A signal that
// was ignored when this was called (nohup) stays ignored. The first call's
// `program` stands.
void EndChildrenWhenInterrupted(std::string_view program);

namespace detail {
// The process groups to end (process.cpp): a child's group is tracked from its
// start until it has ended, and forgotten before its pid can be reused.
void TrackChildGroup(int group);
void ForgetChildGroup(int group);
}  // namespace detail

}  // namespace kc::platform
