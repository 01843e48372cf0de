/* Helper for the harness's own tests:
 *   exit_code.exe N      exits with N
 *   exit_code.exe hang   never ends
 *   exit_code.exe reg    exits 0 when HKCU\Software\KreskaHarness "Pre" is
 *                        "hello", and leaves "Written"="yes" there */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int registry_round_trip(void)
{
    HKEY key;
    char value[32] = "";
    DWORD cb = sizeof value - 1, type = 0;
    int ok;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KreskaHarness", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        printf("key missing\n");
        return 3;
    }
    ok = RegQueryValueExA(key, "Pre", NULL, &type, (BYTE *)value, &cb) == ERROR_SUCCESS
         && type == REG_SZ && strcmp(value, "hello") == 0;
    printf("Pre=%s\n", value);
    if (ok)
        ok = RegSetValueExA(key, "Written", 0, REG_SZ, (const BYTE *)"yes", 4) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok ? 0 : 4;
}

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    if (strcmp(argv[1], "hang") == 0) {
        printf("hanging\n");
        fflush(stdout);
        Sleep(INFINITE);
    }
    if (strcmp(argv[1], "reg") == 0)
        return registry_round_trip();
    return atoi(argv[1]);
}
