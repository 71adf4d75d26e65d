#include "app/AxDravikEntry.h"

int main(int argc, char **argv)
{
    return DravikProgramEntry(argc, argv);
}
