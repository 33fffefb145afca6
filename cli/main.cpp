// quillet-send: the window's actions, status and raw sending from a shell.
#include "cli/RunSend.h"
#include "cli/TerminalText.h"
#include "i18n/gnugettext.h"
#include "platform/MessageBoxes.h"
#include "serial/ComApplication.h"

#include <sys/prctl.h>

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // The network transport's two 5 ms pauses are most of a run: no timer slack on top.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    platform::setApplicationTitle("quillet-send");
    // The texts come in the user's language, as the window shows them.
    gnugettext::startGnuGettext();
    // The character set of the user's terminal, for the texts written to it.
    const std::string codeset = cli::terminalCodeset(std::setlocale(LC_CTYPE, "") != nullptr);
    int exitCode = 0;
    {
        const cport::ComModuleScope serialComponent;
        exitCode = cli::runSend({ argv + 1, argv + argc }, std::cout, std::cerr, codeset);
    }
    gnugettext::endGnuGettext();
    return exitCode;
}
