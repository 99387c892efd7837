#pragma once

// The manifest of a .bbb archive ("Manifest.xml"): which device wrote it and the databases it
// lists, each as
//   <Database uid="125" recordcount="509">Address Book - All</Database>
// under /BlackBerry_Backup/NessusOSDevice/Databases. A BlackBerry 10 archive names a
// QnxOSDevice instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace orrelin {

struct ManifestDatabase {
    std::string uid;                           // as written; its records are in Databases/<uid>.dat
    std::optional<std::uint64_t> recordCount;  // nothing when absent or not a number
    std::string name;                          // the element's text, UTF-8
};

struct Manifest {
    bool blackBerry10 = false;
    std::vector<ManifestDatabase> databases;
};

// Reads a manifest; the failure says where the XML is not well-formed ("line 3: mismatched
// tag"). Entity definitions are refused rather than expanded.
Result<Manifest> ParseManifest(std::string_view xml);

}  // namespace orrelin
