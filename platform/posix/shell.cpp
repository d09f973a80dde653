#include "platform/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Double fork: the intermediate child exits at once, so the program is
// adopted by init and never left as a zombie of this process. A close-on-exec
// pipe tells whether the final exec succeeded.
bool StartDetached(const std::vector<std::string>& args, const std::string& workingDir) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(status[0]);
        close(status[1]);
        return false;
    }
    if (child == 0) {
        close(status[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        // The started program gets none of this program's open files.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        int error = 0;
        if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) {
            error = errno;
        } else {
            execvp(argv[0], argv.data());
            error = errno;
        }
        ssize_t ignored = write(status[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(status[1]);
    int childStatus = 0;
    while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = read(status[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(status[0]);
    return WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0 && got == 0;
}

}  // namespace

bool ShellOpen(const std::string& path, const std::string& workingDir) {
    // As the shell does, a missing file starts nothing at all.
    if (access(path.c_str(), F_OK) != 0) return false;
    // A name without a slash would be looked up in PATH instead of the folder.
    if (IsExecutableFile(path)) return StartDetached({path.find('/') == std::string::npos ? "./" + path : path}, workingDir);
    return StartDetached({"xdg-open", path}, workingDir);
}

}  // namespace platform
