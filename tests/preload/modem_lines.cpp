// LD_PRELOAD stand-in for the modem-line ioctls a pty cannot carry: with
// QUILLNET_MODEM_SHIM set, setting or clearing RTS or DTR on a descriptor
// whose driver refuses them is recorded instead and reported on standard
// output as "modem| RTS on" and the like, in order with the program's own
// lines. Everything else goes to the real ioctl untouched.
#include <asm/ioctls.h>
#include <asm/termios.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <string>

namespace {

using IoctlFn = int (*)(int, unsigned long, ...);

int lines = 0;

void Report(int before, int after) {
  for (int bit : {TIOCM_RTS, TIOCM_DTR}) {
    if ((before & bit) == (after & bit)) continue;
    std::string text =
        std::string("modem| ") + (bit == TIOCM_RTS ? "RTS" : "DTR") + ((after & bit) ? " on\n" : " off\n");
    ssize_t ignored = ::write(1, text.data(), text.size());
    (void)ignored;
  }
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  static IoctlFn real = reinterpret_cast<IoctlFn>(dlsym(RTLD_NEXT, "ioctl"));
  int r = real(fd, request, arg);
  const bool modem = request == TIOCMBIS || request == TIOCMBIC || request == TIOCMGET || request == TIOCMSET;
  if (r == 0 || !modem || !std::getenv("QUILLNET_MODEM_SHIM") || !arg) return r;
  int* bits = static_cast<int*>(arg);
  int before = lines;
  if (request == TIOCMBIS) lines |= *bits;
  if (request == TIOCMBIC) lines &= ~*bits;
  if (request == TIOCMSET) lines = *bits;
  if (request == TIOCMGET) *bits = lines;
  Report(before, lines);
  errno = 0;
  return 0;
}
