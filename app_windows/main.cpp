#include "application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return varnholt::windows_app::runApplication(instance, showCommand);
}
