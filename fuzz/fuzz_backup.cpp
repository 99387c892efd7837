// libFuzzer target: the input is a whole backup file.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (auto problem = orrelin::fuzz::ExerciseBackup(orrelin::Bytes(data, size))) {
        std::fprintf(stderr, "broken rule: %s\n", problem->c_str());
        std::abort();
    }
    return 0;
}
