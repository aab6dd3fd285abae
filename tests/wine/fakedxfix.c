/* A stand-in for DXFIX.EXE: copies its input drawing to its output path
   and notes each call in calls.log beside itself, so that a test can see
   what a batch file ran. Arguments: [-A<digits>] -T<parameter file> IN OUT */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const char *in = argv[argc - 2];
    const char *out = argv[argc - 1];
    if (!CopyFileA(in, out, FALSE))
        return 1;
    char log[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, log, MAX_PATH);
    while (n > 0 && log[n - 1] != '\\')
        --n;
    strcpy(log + n, "calls.log");
    FILE *f = fopen(log, "a");
    if (!f)
        return 1;
    fprintf(f, "%s -> %s\n", in, out);
    fclose(f);
    return 0;
}
