// Runs a command as on a machine where every system call is dear (bare metal with the
// kernel's speculation mitigations on): stacked seccomp filters that allow every call but
// first do `loads` loads of its first argument, which the kernel cannot cache. The cost
// reaches the command's children too, so a baseline such as `cat` pays it alike.
//
//   dear_kernel_entries <loads> ring|no-ring <command> [arguments...]
//
// About 8000 loads make a call cost some 1.5 us more. "no-ring" also refuses io_uring, as
// a container's seccomp profile may, so that a program's plain-read fallback is measured.
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The kernel takes at most 4096 instructions a filter.
constexpr int kLoadsPerFilter = 4000;

bool addFilter(std::vector<sock_filter> program) {
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[2], "ring") != 0 && std::strcmp(argv[2], "no-ring") != 0)) {
        std::fprintf(stderr, "usage: %s <loads> ring|no-ring <command> [arguments...]\n", argv[0]);
        return 2;
    }
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        std::perror("prctl");
        return 1;
    }
    for (int left = std::atoi(argv[1]); left > 0; left -= kLoadsPerFilter) {
        std::vector<sock_filter> program(
            std::min(left, kLoadsPerFilter),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
        if (!addFilter(program)) {
            std::perror("seccomp");
            return 1;
        }
    }
    if (std::strcmp(argv[2], "no-ring") == 0 &&
        !addFilter({BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
                    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
                    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)})) {
        std::perror("seccomp");
        return 1;
    }
    execvp(argv[3], argv + 3);
    std::perror(argv[3]);
    return 1;
}
