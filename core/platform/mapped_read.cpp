#include "platform/mapped_read.h"

#include <setjmp.h>
#include <signal.h>

#include <atomic>
#include <mutex>

namespace {

thread_local sigjmp_buf* tJump = nullptr;  // the innermost mapped read of this thread
struct sigaction gPrevious;

void OnBusError(int sig, siginfo_t* info, void* context) {
  if (tJump) siglongjmp(*tJump, 1);
  // Not a mapped read: whoever handled SIGBUS before decides; by default the fault repeats
  // on return and ends the program as it always would have.
  if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction) {
    gPrevious.sa_sigaction(sig, info, context);
  } else if (!(gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_handler != SIG_DFL &&
             gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(sig);
  } else {
    signal(SIGBUS, SIG_DFL);
  }
}

void InstallHandler() {
  struct sigaction action = {};
  action.sa_sigaction = OnBusError;
  // SIGBUS stays unblocked in the handler, so the jump out of it needs no saved signal mask:
  // a mapped read costs no system call.
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, &gPrevious);
}

}  // namespace

bool RunMappedRead(void (*read)(void* context), void* context) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandler);
  sigjmp_buf jump;
  sigjmp_buf* outer = tJump;
  if (sigsetjmp(jump, 0) != 0) {
    tJump = outer;
    return false;
  }
  tJump = &jump;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  read(context);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  tJump = outer;
  return true;
}
