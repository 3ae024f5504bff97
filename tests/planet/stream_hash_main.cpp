// planet_stream_hash: builds the planet list into the hashing GL stand-in
// (stream_hash_sink.h) with every kernel set that this build holds and this CPU
// runs, and compares each stream with the recorded one. The Windows builds' check
// that their planet is bit for bit the planet of every other build (run under
// Wine by the Linux suite). Prints the default set's stream on standard output and
// the sets it checked on standard error; exit status 0 when every stream matches.
#include <cstdio>

#include "planet/mesh.h"
#include "planet/noise_batch.h"
#include "tests/planet/stream_hash_golden.h"
#include "tests/planet/stream_hash_sink.h"

namespace {

int matches(const char* what) {
    streamHashReset();
    buildPlanetList();
    const unsigned long long hash = streamHashValue();
    const unsigned long long calls = streamHashCalls();
    const int same = hash == kPlanetStreamHash && calls == kPlanetStreamCalls;
    std::fprintf(stderr, "%s: %016llx, %llu calls: %s\n", what, hash, calls, same ? "as recorded" : "DIFFERS");
    return same;
}

}  // namespace

int main() {
    const KernelSet widest = kernelSetInUse();
    int failures = matches("default set") ? 0 : 1;
    streamHashReset();
    buildPlanetList();
    std::printf("planet stream %016llx, %llu calls\n", static_cast<unsigned long long>(streamHashValue()),
                static_cast<unsigned long long>(streamHashCalls()));
    for (int set = kernelSetScalar; set < kernelSetCount; ++set) {
        if (!useKernelSet(static_cast<KernelSet>(set))) continue;
        if (!matches(kernelSetName(static_cast<KernelSet>(set)))) ++failures;
    }
    useKernelSet(widest);
    std::printf("%s\n", failures == 0 ? "every kernel set sends the recorded stream" : "STREAMS DIFFER");
    return failures == 0 ? 0 : 1;
}
