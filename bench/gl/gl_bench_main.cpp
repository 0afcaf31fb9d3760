// GL benchmarks draw into a real window: they run under a private Xvfb of
// 1024 x 768 that ends with them, from the source directory so that the
// scene is drawn with the shipped Media wherever they are started.
#include "support/xvfb.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    if (!start_private_xvfb()) {
        std::fprintf(stderr, "gl_benchmarks: Xvfb could not be started\n");
        return 1;
    }
    if (chdir(QUILL_SOURCE_DIR) != 0) {
        std::perror("gl_benchmarks: " QUILL_SOURCE_DIR);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
