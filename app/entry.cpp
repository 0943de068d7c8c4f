// The process entry: the tool reads no argument, but takes the module
// handle and command line as the platform hands them over.
#include "app/driver.h"

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LPSTR command_line = GetCommandLineA();
    app_main(instance, nullptr, command_line, SW_SHOWDEFAULT);
}
