// The program's entry: hands the command line to the UI layer and runs the platform entry.

#include "app/App.h"
#include "platform/foundation/error.h"
#include "platform/xaml/window/Application.h"

#include <cstdio>

int main(int argc, char** argv)
{
    xaml::set_command_line(argc, argv);
    try {
        return Zintrel::wWinMain(nullptr, nullptr, nullptr, 1);
    } catch (const std::exception& e) {
        // A missing or damaged file of the program: say which and end, rather than abort.
        std::fprintf(stderr, "zintrel: cannot start: %s\n", e.what());
        return 1;
    }
}
