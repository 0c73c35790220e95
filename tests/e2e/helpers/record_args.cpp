// A program for the program-start tests: it records how it was started (see
// record_args.h) and ends; exit code 2 when it could not.

#include "helpers/record_args.h"

int main() {
    return e2e::recordCommandLine() ? 0 : 2;
}
