#include "cli/commands.h"

namespace orrelin::cli {

std::string VersionText() {
    return "orrelin-cli " + std::to_string(ORRELIN_VERSION_MAJOR) + "." +
           std::to_string(ORRELIN_VERSION_MINOR) + "." + std::to_string(ORRELIN_VERSION_PATCH);
}

}  // namespace orrelin::cli
