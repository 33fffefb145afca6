// quillet-send: the window's actions, status and raw sending from a shell.
#include "cli/RunSend.h"
#include "i18n/gnugettext.h"
#include "platform/MessageBoxes.h"
#include "serial/ComModule.h"

#include <iostream>

int main(int argc, char** argv)
{
    platform::setApplicationTitle("quillet-send");
    // The serial component's texts come translated, as the window shows them.
    gnugettext::startGnuGettext();
    int exitCode = 0;
    {
        const cport::ComModuleScope serialComponent;
        exitCode = cli::runSend({ argv + 1, argv + argc }, std::cout, std::cerr);
    }
    gnugettext::endGnuGettext();
    return exitCode;
}
