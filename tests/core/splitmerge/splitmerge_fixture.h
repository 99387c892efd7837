#pragma once

// Shared by the split and merge tests: a scratch folder, backups saved into it and opened as
// the window opens them, and whole-file reads.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "browser/backup_tree.h"
#include "core/support/hex_text.h"
#include "ipd/ipd_builder.h"
#include "splitmerge/check_tree.h"

namespace orrelin::testing {

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orrelin-sm-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // Names of everything in the folder.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

  private:
    std::string path_;
};

inline void SaveBytes(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline ByteVector ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Saves a backup and opens it as the main window does.
inline BackupTree SaveAndOpen(const ScratchFolder& folder, const std::string& name,
                              const ByteVector& bytes) {
    SaveBytes(folder.file(name), bytes);
    auto tree = BackupTree::Open(folder.file(name));
    EXPECT_TRUE(tree.ok()) << tree.error();
    return tree ? std::move(*tree) : BackupTree();
}

inline ByteVector Hex(std::string_view hex) {
    return HexToBytes(hex).value_or(ByteVector{});
}

inline ByteVector Concat(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The node of the n-th record (from 0) of the database node at `row` under the root.
inline NodeId RecordAt(const CheckTree& tree, std::size_t row, std::size_t n) {
    const auto& t = tree.tree();
    return t.child(t.child(BackupTree::kRoot, row), n);
}
inline NodeId DatabaseAt(const CheckTree& tree, std::size_t row) {
    return tree.tree().child(BackupTree::kRoot, row);
}

// A record's whole bytes, from its database index to its last byte.
inline ByteVector RecordBytes(const BackupTree& tree, NodeId record) {
    auto span = *tree.span(record);
    auto bytes = *tree.image().range(span.start - 7, span.end);
    return ByteVector(bytes.begin(), bytes.end());
}

}  // namespace orrelin::testing
