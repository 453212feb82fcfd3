/* Failure points for the stat family, which libfiu's POSIX preload library leaves out. Preloaded
 * beside it, under the names "posix/io/stat/<function>", so that a test can fail the status
 * checks of the preset store like any other call. */
#define _GNU_SOURCE
#define FIU_ENABLE 1
#include <dlfcn.h>
#include <errno.h>
#include <fiu.h>
#include <sys/stat.h>

#define FAILING(name, params, args)                                   \
    int name params {                                                 \
        static int(*real) params;                                     \
        if (!real) real = (int(*) params)dlsym(RTLD_NEXT, #name);     \
        if (fiu_fail("posix/io/stat/" #name)) {                       \
            errno = EIO;                                              \
            return -1;                                                \
        }                                                             \
        return real args;                                             \
    }

FAILING(stat, (const char* path, struct stat* buf), (path, buf))
FAILING(lstat, (const char* path, struct stat* buf), (path, buf))
FAILING(fstat, (int fd, struct stat* buf), (fd, buf))
FAILING(fstatat, (int dirfd, const char* path, struct stat* buf, int flags), (dirfd, path, buf, flags))
FAILING(stat64, (const char* path, struct stat64* buf), (path, buf))
FAILING(lstat64, (const char* path, struct stat64* buf), (path, buf))
FAILING(fstat64, (int fd, struct stat64* buf), (fd, buf))
