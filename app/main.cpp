#include "Startup.h"

int main(int argc, char** argv)
{
    return WenquellMain(argc, argv);
}
