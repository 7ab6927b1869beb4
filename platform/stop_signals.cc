#include "platform/stop_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace vorlintex {
namespace {

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void BlockStopSignals() {
  sigset_t set = StopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

std::string WaitForStopSignal() {
  sigset_t set = StopSignals();
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  return signal == SIGINT ? "SIGINT" : "SIGTERM";
}

void RaiseStopSignal() { kill(getpid(), SIGTERM); }

}  // namespace vorlintex
