#include "app/KelvoMain.h"
#include "app/testing/KelvoTestSeams.h"

// The program as the whole-journey tests run it: the same as users', with the seams the
// environment asks for.
int main(int argc, char* argv[])
{
    return KelvoMain(argc, argv, &KelvoTestSeams::FromEnvironment);
}
