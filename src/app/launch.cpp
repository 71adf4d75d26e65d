#include "app/AxDravikEntry.h"

int main(int argc, char **argv)
{
    return DravikLaunchEntry(argc, argv);
}
