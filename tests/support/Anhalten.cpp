// Preloaded into a program under test (LD_PRELOAD), never part of it: holds the program
// at the moment its document is complete in the temporary file, so that a test can
// interrupt exactly there. The first fsync of a regular file whose name begins with '.'
// writes that file's path into the FIFO named by PAVOLANT_TEST_ANHALTEN and then waits
// for a signal forever. Without the variable, fsync is the C library's.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" int fsync(int fd) {
    using Fsync = int (*)(int);
    static const Fsync echt = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    const char* fifo = std::getenv("PAVOLANT_TEST_ANHALTEN");
    struct stat st {};
    if (fifo && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char verweis[64];
        std::snprintf(verweis, sizeof verweis, "/proc/self/fd/%d", fd);
        char pfad[4096];
        const ssize_t n = ::readlink(verweis, pfad, sizeof pfad);
        ssize_t schraegstrich = n - 1;
        while (schraegstrich >= 0 && pfad[schraegstrich] != '/') --schraegstrich;
        if (n > 0 && schraegstrich >= 0 && schraegstrich + 1 < n && pfad[schraegstrich + 1] == '.') {
            const int f = ::open(fifo, O_WRONLY | O_CLOEXEC);
            if (f >= 0) {
                if (::write(f, pfad, static_cast<size_t>(n)) != n) std::abort();
                ::close(f);
                for (;;) ::pause();
            }
        }
    }
    return echt(fd);
}
