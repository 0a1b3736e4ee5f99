#include "app/KelvoMain.h"

int main(int argc, char* argv[])
{
    return KelvoMain(argc, argv);
}
