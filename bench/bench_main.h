// The benchmarks' shared main: runs the registered benchmarks with repetitions
// (9 unless the command line says otherwise), reports the aggregates, and then
// prints a summary of the medians, with each benchmark's speed-up over the one
// named as the yardstick ("yardstick median / median", from the same run).
#pragma once

// yardstick: the name of the benchmark to compare with, or null for no ratios;
// compared: the prefix of the names of the benchmarks that are compared with it.
int runBenchmarks(int argc, char** argv, const char* yardstick, const char* compared);
