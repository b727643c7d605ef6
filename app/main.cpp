// The program's entry: hands the command line to the UI layer and runs the platform entry.

#include "app/App.h"
#include "platform/xaml/Application.h"

int main(int argc, char** argv)
{
    xaml::set_command_line(argc, argv);
    return Zintrel::wWinMain(nullptr, nullptr, nullptr, 1);
}
