/*
 * The binfmt_misc interpreter that scripts/setup registers for 32-bit x86
 * Linux programs on machines whose kernel cannot run them. The kernel starts
 * it (flags P and F) as
 *     binfmt-i386 PROGRAM ARGV0 ARGS...
 * for every such program, whoever starts it.
 *
 * Only the project's own i686 test runs are meant to get emulation: they set
 * PLM_I386_ROOT to the private root that holds Wine's 32-bit half and the
 * 32-bit C library (scripts/wine-exec does), and their children inherit it.
 * Then it runs QEMU's user-mode emulator with that root as the library
 * prefix and the guest shim of that root preloaded. Without the variable it
 * fails as the kernel would, so nothing else on the machine starts to run
 * 32-bit programs behind its back.
 *
 * Built statically: the kernel opens it once when it is registered (F), and
 * it must start inside any mount namespace.
 */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef PLM_QEMU
#define PLM_QEMU "/usr/bin/qemu-i386-static"
#endif
#define SHIM_IN_ROOT "/plm-i386/guest-shim.so"

static int refuse(const char *program, const char *why)
{
    fprintf(stderr, "%s: cannot execute binary file: Exec format error (%s)\n", program, why);
    return 126;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return refuse("binfmt-i386", "started without a program");
    const char *program = argv[1];
    /* A program started with an empty argument list has no argv[0]. */
    char *argv0 = argc > 2 ? argv[2] : argv[1];
    const char *root = getenv("PLM_I386_ROOT");
    if (!root || root[0] != '/')
        return refuse(program, "32-bit programs run here only for the project's i686 tests");

    struct stat st;
    size_t n = strlen(root) + sizeof SHIM_IN_ROOT;
    char *shim = malloc(n);
    if (!shim)
        return refuse(program, "out of memory");
    snprintf(shim, n, "%s%s", root, SHIM_IN_ROOT);
    if (stat(shim, &st) != 0)
        return refuse(program, "PLM_I386_ROOT holds no guest shim");

    /* LD_PRELOAD for the guest alone (the shim takes itself out of the
     * guest's environment again). A preload list of the host's would name
     * 64-bit libraries, which a 32-bit program cannot load. */
    size_t m = strlen("LD_PRELOAD=") + strlen(shim) + 1;
    char *preload = malloc(m);
    if (!preload)
        return refuse(program, "out of memory");
    snprintf(preload, m, "LD_PRELOAD=%s", shim);

    /* qemu -L ROOT -E LD_PRELOAD=... -0 ARGV0 PROGRAM ARGS... NULL */
    char **args = calloc((size_t)argc + 8, sizeof *args);
    if (!args)
        return refuse(program, "out of memory");
    int i = 0;
    args[i++] = (char *)PLM_QEMU;
    args[i++] = (char *)"-L";
    args[i++] = (char *)root;
    args[i++] = (char *)"-E";
    args[i++] = preload;
    args[i++] = (char *)"-0";
    args[i++] = argv0;
    args[i++] = (char *)program;
    for (int a = 3; a < argc; a++)
        args[i++] = argv[a];
    args[i] = NULL;

    /* QEMU hands its environment to the guest: leave no emulator settings
     * there for the guest's children, which get their own from here. */
    unsetenv("QEMU_LD_PREFIX");
    unsetenv("QEMU_SET_ENV");
    unsetenv("QEMU_UNSET_ENV");
    execv(PLM_QEMU, args);
    fprintf(stderr, "%s: cannot start %s: %s\n", program, PLM_QEMU, strerror(errno));
    return 126;
}
