// Replays every input the fuzzer once failed on (fuzz/regressions), and the fuzzer's seeds, through
// the same exercise the fuzz target runs, so that fixed crashes stay fixed without clang. The named
// inputs below must be there and be replayed: a folder moved, emptied or renamed fails the test
// instead of passing over nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/exercise.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = fs::path(ORRELIN_SOURCE_DIR) / "fuzz";

// Inputs kept by name, each for the fault it once showed or the damage it stands for.
struct NamedInput {
    const char* folder;
    const char* name;
};
constexpr NamedInput kNamedInputs[] = {
    {"regressions", "servicebook-rebuild-changes.ipd"},  // a network name of a line feed alone
    {"regressions", "servicebook-rebuild-drops-lone-port.ipd"},  // a ports field of one port
    {"seeds", "damage-empty-record.ipd"},                        // a record of length 0
    {"seeds", "damage-filler-first.ipd"},  // a filler block where a record belongs
    {"seeds", "damage-truncated.ipd"},     // a file cut short inside a record
};

// Runs the exercise on every file of the folder (hidden ones such as .keep aside) and returns
// the names it replayed.
std::vector<std::string> ExerciseFolder(const fs::path& folder) {
    std::vector<std::string> replayed;
    if (!fs::is_directory(folder)) {
        ADD_FAILURE() << folder << " is absent";
        return replayed;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.starts_with(".")) continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        EXPECT_TRUE(in) << "cannot be read";
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
        auto problem = fuzz::ExerciseBackup(bytes);
        EXPECT_FALSE(problem) << *problem;
        replayed.push_back(name);
    }
    return replayed;
}

void ExpectNamedInputsAmong(const char* folder, const std::vector<std::string>& replayed) {
    for (const NamedInput& input : kNamedInputs) {
        if (std::string_view(input.folder) != folder) continue;
        const bool found =
            std::find(replayed.begin(), replayed.end(), input.name) != replayed.end();
        EXPECT_TRUE(found) << input.name << " was not replayed from fuzz/" << folder;
    }
}

TEST(FuzzRegressions, KeptInputsPassTheExercise) {
    const auto replayed = ExerciseFolder(kFuzzDir / "regressions");
    EXPECT_FALSE(replayed.empty()) << "no input replayed from fuzz/regressions";
    ExpectNamedInputsAmong("regressions", replayed);
}

TEST(FuzzRegressions, SeedsPassTheExercise) {
    const auto replayed = ExerciseFolder(kFuzzDir / "seeds");
    EXPECT_FALSE(replayed.empty()) << "no input replayed from fuzz/seeds";
    ExpectNamedInputsAmong("seeds", replayed);
}

}  // namespace
}  // namespace orrelin
