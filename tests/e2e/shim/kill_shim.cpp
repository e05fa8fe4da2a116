// Preloaded into a program under test (LD_PRELOAD): counts the program's
// file-system calls, in every thread, and kills the process with SIGKILL
// just before the call numbered $TQV_KILL_AT (from 1). With
// $TQV_CALL_COUNT_FILE set, a run that is not killed writes its count there
// when it ends. Calls the C library makes inside itself are not seen; a
// kill before the next seen call covers the moment after them.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<long> calls{0};

long KillAt() {
  static const long at = [] {
    const char* text = getenv("TQV_KILL_AT");
    return text != nullptr ? atol(text) : 0L;
  }();
  return at;
}

void Count() {
  const long n = calls.fetch_add(1) + 1;
  if (n == KillAt()) kill(getpid(), SIGKILL);
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

struct ReportAtExit {
  ~ReportAtExit() {
    const char* path = getenv("TQV_CALL_COUNT_FILE");
    if (path == nullptr) return;
    using OpenFn = int (*)(const char*, int, ...);
    static const auto real_open = Next<OpenFn>("open");
    const int fd = real_open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    char text[32];
    const int n = snprintf(text, sizeof text, "%ld\n", calls.load());
    using WriteFn = ssize_t (*)(int, const void*, size_t);
    static const auto real_write = Next<WriteFn>("write");
    real_write(fd, text, static_cast<size_t>(n));
    using CloseFn = int (*)(int);
    static const auto real_close = Next<CloseFn>("close");
    real_close(fd);
  }
} report_at_exit;

}  // namespace

// Each wrapper counts the call, then makes it.
#define TQV_WRAP(ret, name, params, args)   \
  extern "C" ret name params {              \
    using Fn = ret(*) params;               \
    static const Fn real = Next<Fn>(#name); \
    Count();                                \
    return real args;                       \
  }

#define TQV_WRAP_OPEN(name)                               \
  extern "C" int name(const char* path, int flags, ...) { \
    mode_t mode = 0;                                      \
    if (flags & (O_CREAT | O_TMPFILE)) {                  \
      va_list list;                                       \
      va_start(list, flags);                              \
      mode = static_cast<mode_t>(va_arg(list, int));      \
      va_end(list);                                       \
    }                                                     \
    using Fn = int (*)(const char*, int, ...);            \
    static const Fn real = Next<Fn>(#name);               \
    Count();                                              \
    return real(path, flags, mode);                       \
  }

TQV_WRAP_OPEN(open)
TQV_WRAP_OPEN(open64)

extern "C" int openat(int dir, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list list;
    va_start(list, flags);
    mode = static_cast<mode_t>(va_arg(list, int));
    va_end(list);
  }
  using Fn = int (*)(int, const char*, int, ...);
  static const Fn real = Next<Fn>("openat");
  Count();
  return real(dir, path, flags, mode);
}

TQV_WRAP(ssize_t, read, (int fd, void* buf, size_t n), (fd, buf, n))
TQV_WRAP(ssize_t, write, (int fd, const void* buf, size_t n), (fd, buf, n))
TQV_WRAP(ssize_t, pread64, (int fd, void* buf, size_t n, off64_t at),
         (fd, buf, n, at))
TQV_WRAP(ssize_t, pwrite64, (int fd, const void* buf, size_t n, off64_t at),
         (fd, buf, n, at))
TQV_WRAP(int, close, (int fd), (fd))
TQV_WRAP(int, fsync, (int fd), (fd))
TQV_WRAP(int, fdatasync, (int fd), (fd))
TQV_WRAP(int, ftruncate, (int fd, off_t size), (fd, size))
TQV_WRAP(int, rename, (const char* from, const char* to), (from, to))
TQV_WRAP(int, renameat,
         (int from_dir, const char* from, int to_dir, const char* to),
         (from_dir, from, to_dir, to))
TQV_WRAP(int, unlink, (const char* path), (path))
TQV_WRAP(int, unlinkat, (int dir, const char* path, int flags),
         (dir, path, flags))
TQV_WRAP(int, mkdir, (const char* path, mode_t mode), (path, mode))
TQV_WRAP(int, remove, (const char* path), (path))
TQV_WRAP(ssize_t, copy_file_range,
         (int in, off64_t* in_at, int out, off64_t* out_at, size_t n,
          unsigned flags),
         (in, in_at, out, out_at, n, flags))
TQV_WRAP(int, sync_file_range, (int fd, off64_t at, off64_t n, unsigned flags),
         (fd, at, n, flags))
