/* A stand-in for DXFIX.EXE: copies its input drawing to its output path
   and notes each call in calls.log beside itself, so that a test can see
   what a batch file ran. Arguments: [-A<digits>] -T<parameter file> IN OUT

   A file half.txt beside it makes it fail on purpose: its first line is a
   part of an output path or of the input drawing's first line (which
   names the drawing in every pass, as each pass copies it), its second
   "hang", "exit", "crash", "ctrl-c", "none", "stuck" or "orphan", its
   third, if any, a part
   the output path must hold as well. For such a call it makes no drawing
   and ends with 0 ("none"), or writes half of the drawing, then waits to
   be killed ("hang"), or ends with status 1 ("exit"), with the status of an
   access violation ("crash", 0xC0000005, negative as cmd.exe sees it) or
   with that of a Ctrl+C ("ctrl-c", 0xC000013A); or writes half of it,
   makes it read-only and ends with 1 ("stuck": a file its caller cannot
   remove); or converts it whole, then ends the process that started it
   and itself with 0 ("orphan": a caller killed before it could say what
   became of the drawing).

   A file slow.txt beside it holds a number of milliseconds that every call
   waits before it converts, so that two runs overlap; while a file
   hold.txt is beside it, every call waits, so that a run holds on until
   its test lets it go. */
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <tlhelp32.h>

/* Ends the process that started this one. */
static void endParent(void)
{
    const DWORD self = GetCurrentProcessId();
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {.dwSize = sizeof entry};
    DWORD parent = 0;
    for (BOOL more = Process32First(all, &entry); more; more = Process32Next(all, &entry)) {
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    }
    CloseHandle(all);
    HANDLE p = parent ? OpenProcess(PROCESS_TERMINATE, FALSE, parent) : NULL;
    if (p) {
        TerminateProcess(p, 1);
        CloseHandle(p);
    }
}

static void beside(char *path, const char *name)
{
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    strcpy(path + n, name);
}

static void chomp(char *s)
{
    s[strcspn(s, "\r\n")] = 0;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const char *in = argv[argc - 2];
    const char *out = argv[argc - 1];

    char control[MAX_PATH], part[MAX_PATH] = "", mode[32] = "", also[MAX_PATH] = "";
    beside(control, "hold.txt");
    while (GetFileAttributesA(control) != INVALID_FILE_ATTRIBUTES)
        Sleep(20);
    beside(control, "slow.txt");
    FILE *c = fopen(control, "r");
    if (c) {
        int ms = 0;
        if (fscanf(c, "%d", &ms) == 1 && ms > 0)
            Sleep((DWORD)ms);
        fclose(c);
    }
    beside(control, "half.txt");
    c = fopen(control, "r");
    if (c) {
        if (fgets(part, sizeof part, c))
            chomp(part);
        if (fgets(mode, sizeof mode, c))
            chomp(mode);
        if (fgets(also, sizeof also, c))
            chomp(also);
        fclose(c);
    }
    char first[MAX_PATH] = "";
    FILE *input = fopen(in, "rb");
    if (input) {
        if (fgets(first, sizeof first, input))
            chomp(first);
        fclose(input);
    }
    const int chosen = part[0] && (strstr(out, part) || strstr(first, part)) && (!also[0] || strstr(out, also));
    if (chosen && strcmp(mode, "none") == 0)
        return 0;
    if (chosen && strcmp(mode, "orphan") == 0) {
        CopyFileA(in, out, FALSE);
        endParent();
        return 0;
    }
    if (chosen) {
        char data[4096];
        FILE *from = fopen(in, "rb");
        size_t n = from ? fread(data, 1, sizeof data, from) : 0;
        if (from)
            fclose(from);
        FILE *to = fopen(out, "wb");
        if (to) {
            fwrite(data, 1, n / 2, to);
            fclose(to);
        }
        if (strcmp(mode, "hang") == 0)
            Sleep(INFINITE);
        if (strcmp(mode, "stuck") == 0)
            SetFileAttributesA(out, FILE_ATTRIBUTE_READONLY);
        if (strcmp(mode, "crash") == 0)
            ExitProcess(0xC0000005u);
        if (strcmp(mode, "ctrl-c") == 0)
            ExitProcess(0xC000013Au);
        return 1;
    }

    if (!CopyFileA(in, out, FALSE))
        return 1;
    /* Several of it may run at once: each line is written with the log
       held by this call alone, so that none is lost. */
    char log[MAX_PATH], line[2 * MAX_PATH + 8];
    beside(log, "calls.log");
    int n = snprintf(line, sizeof line, "%s -> %s\n", in, out);
    HANDLE h;
    for (int tries = 0;; ++tries) {
        h = CreateFileA(log, FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE)
            break;
        if (tries > 2000)
            return 1;
        Sleep(5);
    }
    DWORD written = 0;
    BOOL ok = WriteFile(h, line, (DWORD)n, &written, NULL);
    CloseHandle(h);
    return ok && written == (DWORD)n ? 0 : 1;
}
