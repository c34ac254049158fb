// The program on the disc must start on glibc 2.34 (RHEL 9 and its rebuilds). Built
// here, on a newer glibc, four calls would ask for newer symbol versions. The program
// is linked with --wrap for each (see cmake/PortableProgram.cmake), and these wrappers
// do the same work through what glibc 2.34 already has.

#include <cmath> // for __GLIBC__

#if defined(__x86_64__) && defined(__GLIBC__)

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <sys/random.h>

extern "C"
{
    // glibc 2.35 added new versions of hypot and hypotf beside the old ones, with the
    // same results; bind to the versions x86-64 glibc has had since 2.2.5.
    double brelvan_hypot_2_2_5 (double, double);
    float brelvan_hypotf_2_2_5 (float, float);
    __asm__(".symver brelvan_hypot_2_2_5, hypot@GLIBC_2.2.5");
    __asm__(".symver brelvan_hypotf_2_2_5, hypotf@GLIBC_2.2.5");

    double __wrap_hypot (double x, double y)
    {
        return brelvan_hypot_2_2_5 (x, y);
    }
    float __wrap_hypotf (float x, float y)
    {
        return brelvan_hypotf_2_2_5 (x, y);
    }

    // The C++ runtime's random_device asks for arc4random (2.36); the same kernel
    // randomness comes from getrandom (2.25). Like arc4random, it never fails quietly.
    uint32_t __wrap_arc4random()
    {
        uint32_t value;
        for (;;)
        {
            const auto got = getrandom (&value, sizeof (value), 0);
            if (got == static_cast<ssize_t> (sizeof (value)))
                return value;
            if (got < 0 && errno != EINTR)
                abort();
        }
    }

    // The static unwinder finds a frame's unwind tables with _dl_find_object (2.35).
    // Found the older way, through dl_iterate_phdr, exceptions unwind as before.
    struct ObjectSearch
    {
        uintptr_t address;
        dl_find_object* result;
        bool found;
    };

    static int findObjectHolding (dl_phdr_info* info, size_t, void* data)
    {
        auto& search = *static_cast<ObjectSearch*> (data);
        uintptr_t start = UINTPTR_MAX, end = 0;
        bool holds = false;
        void* unwindTables = nullptr;

        for (int i = 0; i < info->dlpi_phnum; ++i)
        {
            const auto& segment = info->dlpi_phdr[i];
            const auto begin = info->dlpi_addr + segment.p_vaddr;
            if (segment.p_type == PT_LOAD)
            {
                start = begin < start ? begin : start;
                end = begin + segment.p_memsz > end ? begin + segment.p_memsz : end;
                holds = holds || (search.address >= begin && search.address < begin + segment.p_memsz);
            }
            else if (segment.p_type == PT_GNU_EH_FRAME)
            {
                unwindTables = reinterpret_cast<void*> (begin);
            }
        }

        if (!holds)
            return 0;

        *search.result = {};
        search.result->dlfo_map_start = reinterpret_cast<void*> (start);
        search.result->dlfo_map_end = reinterpret_cast<void*> (end);
        search.result->dlfo_eh_frame = unwindTables;
        search.found = true;
        return 1;
    }

    int __wrap__dl_find_object (void* address, dl_find_object* result)
    {
        ObjectSearch search{ reinterpret_cast<uintptr_t> (address), result, false };
        dl_iterate_phdr (findObjectHolding, &search);
        return search.found ? 0 : -1;
    }
}
#endif
