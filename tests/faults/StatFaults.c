/* Failure points for the calls libfiu's POSIX preload library leaves out: the stat family, under
 * "posix/io/stat/<function>", and the calls relative to a folder descriptor that the preset store
 * makes all its changes with (openat under "posix/io/oc/", renameat, renameat2, linkat and
 * unlinkat under "posix/io/dir/"). Preloaded beside it, so that a test can fail them like any
 * other call. */
#define _GNU_SOURCE
#define FIU_ENABLE 1
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <unistd.h>
#include <fiu.h>
#include <sys/stat.h>

#define FAILING_AT(point, name, params, args)                         \
    int name params {                                                 \
        static int(*real) params;                                     \
        if (!real) real = (int(*) params)dlsym(RTLD_NEXT, #name);     \
        if (fiu_fail(point #name)) {                                  \
            errno = EIO;                                              \
            return -1;                                                \
        }                                                             \
        return real args;                                             \
    }
#define FAILING(name, params, args) FAILING_AT("posix/io/stat/", name, params, args)

FAILING(stat, (const char* path, struct stat* buf), (path, buf))
FAILING(lstat, (const char* path, struct stat* buf), (path, buf))
FAILING(fstat, (int fd, struct stat* buf), (fd, buf))
FAILING(fstatat, (int dirfd, const char* path, struct stat* buf, int flags), (dirfd, path, buf, flags))
FAILING(stat64, (const char* path, struct stat64* buf), (path, buf))
FAILING(lstat64, (const char* path, struct stat64* buf), (path, buf))
FAILING(fstat64, (int fd, struct stat64* buf), (fd, buf))

FAILING_AT("posix/io/dir/", renameat, (int from, const char* old, int to, const char* new_), (from, old, to, new_))
FAILING_AT("posix/io/dir/", renameat2, (int from, const char* old, int to, const char* new_, unsigned flags),
           (from, old, to, new_, flags))
FAILING_AT("posix/io/dir/", linkat, (int from, const char* old, int to, const char* new_, int flags),
           (from, old, to, new_, flags))
FAILING_AT("posix/io/dir/", unlinkat, (int folder, const char* path, int flags), (folder, path, flags))

/* Variadic: the mode is there only when a file may be created. */
static int OpenAt(const char* point, const char* name, int folder, const char* path, int flags, mode_t mode) {
    static int (*realOpenat)(int, const char*, int, ...);
    static int (*realOpenat64)(int, const char*, int, ...);
    int (**real)(int, const char*, int, ...) = name[6] == '6' ? &realOpenat64 : &realOpenat;
    if (!*real) *real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, name);
    if (fiu_fail(point)) {
        errno = EIO;
        return -1;
    }
    return (*real)(folder, path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    return OpenAt("posix/io/oc/openat", "openat", folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    return OpenAt("posix/io/oc/openat", "openat64", folder, path, flags, mode);
}
