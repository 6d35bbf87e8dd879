/*
 * Preloaded into every 32-bit Linux process that runs under QEMU user-mode
 * emulation for the tests (scripts/i386/binfmt-i386.c hands it to the guest
 * only). It works around four faults of QEMU 7.2 (Debian 12) that 32-bit
 * Wine runs into; a real 32-bit kernel never needs it.
 *
 * 1. MAP_FIXED_NOREPLACE is taken as a mere hint. Wine reserves its address
 *    space with that flag and, given another address, searches on for
 *    minutes. Here the flag behaves as the kernel documents it: the mapping
 *    lands at the address asked for, or the call fails with EEXIST.
 * 2. The signal context of a fault carries trap number -1, and 32-bit Wine
 *    tells faults apart by that number: every access violation would become
 *    an illegal instruction (guard pages, __try/__except, IsBadReadPtr all
 *    fail). The number is filled in from the signal and its code before the
 *    program's own handler runs.
 * 3. QEMU keeps one descriptor table for all threads, so a segment selector
 *    that glibc shares between threads (%gs for thread-local storage) takes
 *    the base of whichever thread set it last when it is reloaded, as Wine
 *    does in its signal handlers. Each thread here gets a descriptor of its
 *    own in the local descriptor table, loaded into %gs before it runs (see
 *    pthread_create below for how a new thread gets its base to start with).
 * 4. For the same reason Wine must not share one selector among its threads
 *    for %fs: set_thread_area is refused, so Wine takes a local descriptor
 *    per thread, as it does on kernels without that call.
 *
 * The signal wrapper runs before the program's handler could restore a
 * usable %gs: it must not touch thread-local storage (errno, the stack
 * protector's canary) nor call into the C library. Built with
 * -fno-stack-protector for that reason.
 */
#define _GNU_SOURCE
#include <asm/ldt.h>
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/ucontext.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

#define EXPORT __attribute__((visibility("default")))

/* A system call that bypasses the C library (and this library's own
 * syscall below): the number, then up to six arguments. Returns the
 * kernel's result, -errno on failure. */
long raw_syscall(long number, long a1, long a2, long a3, long a4, long a5, long a6);
__asm__(".text\n"
        ".globl raw_syscall\n"
        ".hidden raw_syscall\n"
        ".type raw_syscall, @function\n"
        "raw_syscall:\n"
        "    pushl %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    movl 20(%esp), %eax\n"
        "    movl 24(%esp), %ebx\n"
        "    movl 28(%esp), %ecx\n"
        "    movl 32(%esp), %edx\n"
        "    movl 36(%esp), %esi\n"
        "    movl 40(%esp), %edi\n"
        "    movl 44(%esp), %ebp\n"
        "    int $0x80\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n"
        ".size raw_syscall, .-raw_syscall\n");

static int failed(long rc)
{
    return rc < 0 && rc > -4096;
}

/* ---- 1. MAP_FIXED_NOREPLACE ------------------------------------------- */

static void *map_pages(void *addr, size_t len, int prot, int flags, int fd, uint64_t off)
{
    if (off & 4095) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    int noreplace = (flags & MAP_FIXED_NOREPLACE) && !(flags & MAP_FIXED);
    if (noreplace)
        flags &= ~MAP_FIXED_NOREPLACE;
    long got = raw_syscall(SYS_mmap2, (long)addr, (long)len, prot, flags, fd, (long)(off >> 12));
    if (failed(got)) {
        errno = (int)-got;
        return MAP_FAILED;
    }
    if (noreplace && (void *)got != addr) {
        /* Placed elsewhere: the range asked for is taken. */
        raw_syscall(SYS_munmap, got, (long)len, 0, 0, 0, 0);
        errno = EEXIST;
        return MAP_FAILED;
    }
    return (void *)got;
}

EXPORT void *mmap(void *addr, size_t len, int prot, int flags, int fd, off_t off)
{
    return map_pages(addr, len, prot, flags, fd, (uint64_t)(uint32_t)off);
}

EXPORT void *mmap64(void *addr, size_t len, int prot, int flags, int fd, off64_t off)
{
    return map_pages(addr, len, prot, flags, fd, (uint64_t)off);
}

/* ---- 2. Trap numbers of fault signals ----------------------------------- */

enum { TRAP_DIVIDE = 0, TRAP_DEBUG = 1, TRAP_BREAKPOINT = 3, TRAP_OVERFLOW = 4,
       TRAP_INVALID_OPCODE = 6, TRAP_SEGMENT_NOT_PRESENT = 11, TRAP_PROTECTION = 13,
       TRAP_PAGE_FAULT = 14, TRAP_FPU = 16, TRAP_ALIGNMENT = 17 };

/* What a real kernel reports for each signal and code. */
static int trap_number(int sig, int code)
{
    switch (sig) {
    case SIGSEGV: return code == SI_KERNEL ? TRAP_PROTECTION : TRAP_PAGE_FAULT;
    case SIGBUS:  return code == BUS_ADRALN ? TRAP_ALIGNMENT
                       : code == SI_KERNEL ? TRAP_SEGMENT_NOT_PRESENT : TRAP_PAGE_FAULT;
    case SIGILL:  return TRAP_INVALID_OPCODE;
    case SIGTRAP: return code == SI_KERNEL ? TRAP_BREAKPOINT : TRAP_DEBUG;
    case SIGFPE:  return code == FPE_INTDIV ? TRAP_DIVIDE : code == FPE_INTOVF ? TRAP_OVERFLOW : TRAP_FPU;
    default:      return -1;
    }
}

static int is_fault_signal(int sig)
{
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGTRAP || sig == SIGFPE;
}

/* The program's own handlers for the fault signals, by signal number. */
static struct sigaction programs_action[NSIG];

static void fill_in_trap_number(int sig, siginfo_t *info, void *context)
{
    ucontext_t *uc = context;
    const struct sigaction *own = &programs_action[sig];
    if (uc->uc_mcontext.gregs[REG_TRAPNO] == -1)
        uc->uc_mcontext.gregs[REG_TRAPNO] = trap_number(sig, info->si_code);
    if (own->sa_flags & SA_SIGINFO)
        own->sa_sigaction(sig, info, context);
    else
        own->sa_handler(sig);
}

typedef int sigaction_fn(int, const struct sigaction *, struct sigaction *);
static sigaction_fn *next_sigaction;
static pthread_mutex_t action_lock = PTHREAD_MUTEX_INITIALIZER;

EXPORT int sigaction(int sig, const struct sigaction *act, struct sigaction *old)
{
    if (!next_sigaction)
        next_sigaction = (sigaction_fn *)dlsym(RTLD_NEXT, "sigaction");
    if (sig <= 0 || sig >= NSIG || !is_fault_signal(sig))
        return next_sigaction(sig, act, old);

    pthread_mutex_lock(&action_lock);
    struct sigaction previous;
    int rc = next_sigaction(sig, NULL, &previous);
    if (rc == 0 && previous.sa_sigaction == fill_in_trap_number)
        previous = programs_action[sig];
    if (rc == 0 && act) {
        int caught = act->sa_handler != SIG_DFL && act->sa_handler != SIG_IGN;
        struct sigaction installed = *act;
        if (caught) {
            /* Saved before the wrapper can be reached through it. */
            programs_action[sig] = *act;
            installed.sa_sigaction = fill_in_trap_number;
            installed.sa_flags |= SA_SIGINFO;
        }
        rc = next_sigaction(sig, &installed, NULL);
    }
    pthread_mutex_unlock(&action_lock);
    if (rc == 0 && old)
        *old = previous;
    return rc;
}

/* ---- 3. A %gs descriptor for each thread ------------------------------- */

/* Taken from the top of the table: Wine allocates its own from the bottom. */
enum { LOWEST_OWN_ENTRY = LDT_ENTRIES / 2 };
static int next_entry = LDT_ENTRIES - 1;
/* The descriptor-table entry glibc set up for the first thread's %gs. */
static unsigned short shared_gs;

static uintptr_t thread_pointer(void)
{
    uintptr_t self;
    /* glibc keeps the thread's own address at %gs:0. */
    __asm__ volatile("movl %%gs:0, %0" : "=r"(self));
    return self;
}

static void load_gs(unsigned short selector)
{
    __asm__ volatile("movw %0, %%gs" : : "r"(selector));
}

static unsigned short current_gs(void)
{
    unsigned short selector;
    __asm__ volatile("movw %%gs, %0" : "=r"(selector));
    return selector;
}

static void describe(struct user_desc *d, unsigned entry, uintptr_t base)
{
    memset(d, 0, sizeof *d);
    d->entry_number = entry;
    d->base_addr = (unsigned)base;
    d->limit = 0xfffff;
    d->seg_32bit = 1;
    d->limit_in_pages = 1;
    d->useable = 1;
}

static void own_gs_descriptor(void)
{
    int entry = __atomic_fetch_sub(&next_entry, 1, __ATOMIC_RELAXED);
    if (entry < LOWEST_OWN_ENTRY)
        return; /* table used up: the thread keeps the shared selector */
    struct user_desc d;
    describe(&d, (unsigned)entry, thread_pointer());
    if (raw_syscall(SYS_modify_ldt, 1, (long)&d, sizeof d, 0, 0, 0) != 0)
        return;
    load_gs((unsigned short)((entry << 3) | 4 | 3)); /* LDT, ring 3 */
}

struct thread_start {
    void *(*routine)(void *);
    void *arg;
    sigset_t mask;
};

static void *start_with_own_gs(void *p)
{
    struct thread_start start = *(struct thread_start *)p;
    free(p);
    own_gs_descriptor();
    pthread_sigmask(SIG_SETMASK, &start.mask, NULL);
    return start.routine(start.arg);
}

typedef int pthread_create_fn(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);

/* QEMU gives a new thread the descriptor of the creator's current %gs
 * selector, with the new thread's base written into the shared entry only.
 * So the creator switches back to that entry, first pointed at itself, for
 * the moment of the creation, with every signal blocked (a handler could
 * reload %gs meanwhile); the new thread gets the creator's real signal mask
 * back once it has a descriptor of its own. */
EXPORT int pthread_create(pthread_t *thread, const pthread_attr_t *attr, void *(*routine)(void *), void *arg)
{
    static pthread_create_fn *next;
    if (!next)
        next = (pthread_create_fn *)dlsym(RTLD_NEXT, "pthread_create");
    struct thread_start *start = malloc(sizeof *start);
    if (!start)
        return EAGAIN;
    start->routine = routine;
    start->arg = arg;
    sigset_t all, mask;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &mask);
    start->mask = mask; /* the new thread frees start */
    unsigned short own = current_gs();
    int switched = 0;
    if (shared_gs && own != shared_gs) {
        struct user_desc d;
        describe(&d, shared_gs >> 3, thread_pointer());
        if (raw_syscall(SYS_set_thread_area, (long)&d, 0, 0, 0, 0, 0) == 0) {
            load_gs(shared_gs);
            switched = 1;
        }
    }
    int rc = next(thread, attr, start_with_own_gs, start);
    if (switched)
        load_gs(own);
    pthread_sigmask(SIG_SETMASK, &mask, NULL);
    if (rc != 0)
        free(start);
    return rc;
}

/* ---- 4. No shared %fs selector ----------------------------------------- */

typedef long syscall_fn(long, ...);

EXPORT long syscall(long number, ...)
{
    static syscall_fn *next;
    va_list ap;
    va_start(ap, number);
    long a[6];
    for (int i = 0; i < 6; i++)
        a[i] = va_arg(ap, long);
    va_end(ap);
    if (number == SYS_set_thread_area) {
        errno = ENOSYS;
        return -1;
    }
    if (!next)
        next = (syscall_fn *)dlsym(RTLD_NEXT, "syscall");
    return next(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

/* ---- Start-up ----------------------------------------------------------- */

/* The binfmt interpreter puts this library first in LD_PRELOAD; children
 * get it from the interpreter again, and 64-bit children must not see it. */
static void forget_own_preload(void)
{
    Dl_info self;
    const char *list = getenv("LD_PRELOAD");
    if (!list || !dladdr((void *)forget_own_preload, &self) || !self.dli_fname)
        return;
    size_t n = strlen(self.dli_fname);
    if (strncmp(list, self.dli_fname, n) != 0 || (list[n] != '\0' && list[n] != ' ' && list[n] != ':'))
        return;
    const char *rest = list + n;
    while (*rest == ' ' || *rest == ':')
        rest++;
    if (*rest)
        setenv("LD_PRELOAD", rest, 1);
    else
        unsetenv("LD_PRELOAD");
}

__attribute__((constructor)) static void start(void)
{
    forget_own_preload();
    unsigned short selector = current_gs();
    if (!(selector & 4)) /* a global descriptor, as glibc sets it up */
        shared_gs = selector;
    own_gs_descriptor();
}
