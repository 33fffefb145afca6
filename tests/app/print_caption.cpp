// Prints the main window's start-up caption as UTF-8, for the scripts that compare the titles a
// window manager is given with the captions.
#include "credits/CreditTexts.h"
#include "credits/Scramble.h"
#include "platform/AnsiText.h"

#include <cstdio>

int main()
{
    const std::string caption = credits::plainText(credits::texts::startupCaption);
    std::printf("%s\n", platform::ansiToUtf8(caption).c_str());
    return 0;
}
