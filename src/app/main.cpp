#include "ui/error_display.h"

int main(int argc, char** argv)
{
    VelmaroApplication app(argc, argv);
    return 0;
}
