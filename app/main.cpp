// Quillet: exercises ESC/POS receipt printers.
#include "app/Form1Description.h"
#include "app/QtMessageService.h"
#include "app/RunQuillet.h"

int main(int argc, char** argv)
{
    app::QtMessageService messageBoxes;
    platform::setMessageService(&messageBoxes);
    const int exitCode = app::runQuillet(argc, argv, app::form1Description());
    platform::setMessageService(nullptr);
    return exitCode;
}
