#include <windows.h>

#include "app/shell.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return quorvel::RunQuorvel();
}
