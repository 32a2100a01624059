#pragma once
// The simulator's thread is the benchmarks' instrument (a real controller answers and
// timestamps in hardware): it gets the same short scheduler slice that the tool's
// thread asks for (PrepararHiloPuntual), so that on a busy machine it notes arrivals
// and answers on time and its own delays are not counted against the tool.
#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// Every thread of this process that runs on the fair scheduler.
inline void HilosPuntuales()
{
#if defined(__linux__) && defined(SYS_sched_setattr) && defined(SYS_sched_getattr)
    struct AtributosPlanificador {  // the kernel's sched_attr, first version
        uint32_t size, sched_policy;
        uint64_t sched_flags;
        int32_t sched_nice;
        uint32_t sched_priority;
        uint64_t sched_runtime, sched_deadline, sched_period;
    };
    DIR* d = opendir("/proc/self/task");
    if (!d)
        return;
    while (dirent* e = readdir(d)) {
        const long tid = std::atol(e->d_name);
        AtributosPlanificador a{};
        if (tid <= 0 || syscall(SYS_sched_getattr, tid, &a, sizeof a, 0) != 0 || a.sched_policy != 0)
            continue;
        a.size = sizeof a;
        a.sched_runtime = 200000;  // ns
        syscall(SYS_sched_setattr, tid, &a, 0);
    }
    closedir(d);
#endif
}
