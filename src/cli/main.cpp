// tavoScribe: composes the machine-readable zone of a German identity card
// from its serial number, date of birth and expiry date.
#include "cli.h"

int main(int argc, char **argv)
{
    prepare_console();
    return finish_console(run(argc, argv));
}
