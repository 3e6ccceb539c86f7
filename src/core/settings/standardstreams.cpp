#include "settings/standardstreams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void openMissingStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is this one, since those below are open.
        const int placeholder = ::open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (placeholder != stream) {
            // Without /dev/null nothing is safe to open: better not to run.
            ::_exit(127);
        }
    }
}
