#pragma once

#include "base/result.h"

#include <optional>
#include <string>
#include <string_view>

namespace orrelin::ipdgen {

// How `ipdgen bbb` lays out an archive.
struct BbbOptions {
    // "desktop": Manifest.xml and one Databases/<uid>.dat per database; "mac":
    // BlackBerry_Backup.xml and Databases/Databases.ipd.
    std::string layout = "desktop";
    // "plain"; "encrypted": every database entry scrambled so that it no longer begins as an IPD
    // file; "partly-encrypted": the first database entry alone; "bb10": a QnxOSDevice manifest
    // over scrambled entries.
    std::string kind = "plain";
    bool deflate = true;
};

// Writes the IPD file `in` as a .bbb archive `out`; the same input gives the same bytes.

Status WriteBbb(const std::string& in, const std::string& out, const BbbOptions& options);

}  // namespace orrelin::ipdgen
