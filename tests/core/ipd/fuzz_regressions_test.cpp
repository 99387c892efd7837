// Replays every input the fuzzer once failed on (fuzz/regressions), and the fuzzer's seeds, through
// the same exercise the fuzz target runs, so that fixed crashes stay fixed without clang.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/exercise.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

void ExerciseFolder(const fs::path& folder) {
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().starts_with(".")) continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
        auto problem = fuzz::ExerciseBackup(bytes);
        EXPECT_FALSE(problem) << *problem;
    }
}

TEST(FuzzRegressions, KeptInputsPassTheExercise) {
    ExerciseFolder(fs::path(ORRELIN_SOURCE_DIR) / "fuzz" / "regressions");
}

TEST(FuzzRegressions, SeedsPassTheExercise) {
    ExerciseFolder(fs::path(ORRELIN_SOURCE_DIR) / "fuzz" / "seeds");
}

}  // namespace
}  // namespace orrelin
