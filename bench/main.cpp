// Text benchmarks: GetString against a linear scan and against the step-by-step
// algorithm, and AddStrNum on its longest input. Prints times and ratios
// measured in this one run; asserts nothing about time.
#include "bench.h"

int main() {
    vemo::bench::RunGetStringBench();
    vemo::bench::RunAddStrNumBench();
    return 0;
}
