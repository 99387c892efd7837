// ipdgen: writes the bundled sample backup and large backups for benchmarks.
//
//   ipdgen sample OUT.ipd
//   ipdgen large OUT.ipd --records N [--seed S]
//   ipdgen mail OUT.ipd --records N [--seed S]
//   ipdgen bbb IN.ipd OUT.bbb [--layout desktop|mac] [--kind plain|encrypted|partly-encrypted|bb10]
//              [--store]
//   ipdgen bomb OUT.bbb [--declare N]   # 6442451001 deflated zeros in 6 MB, declaring N bytes

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/bbb_builder.h"
#include "bbb.h"
#include "io/file_output.h"
#include "large.h"
#include "mail.h"
#include "sample.h"
#include "scripts.h"

namespace {

constexpr std::string_view kUsage =
    "usage: ipdgen sample OUT.ipd\n"
    "       ipdgen scripts OUT.ipd\n"
    "       ipdgen large OUT.ipd --records N [--seed S]\n"
    "       ipdgen mail OUT.ipd --records N [--seed S]\n"
    "       ipdgen bbb IN.ipd OUT.bbb [--layout desktop|mac]\n"
    "                  [--kind plain|encrypted|partly-encrypted|bb10] [--store]\n"
    "       ipdgen bomb OUT.bbb [--declare N]\n";

int Usage(std::string_view problem) {
    std::cerr << "ipdgen: " << problem << "\n" << kUsage;
    return 2;
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// 0 when the write succeeded, else 1 after saying why.
int Written(const std::string& path, const orrelin::Status& written) {
    if (written) return 0;
    std::cerr << "ipdgen: cannot write " << path << ": " << written.error() << "\n";
    return 1;
}

using Args = std::vector<std::string_view>;

// sample and scripts: the bundled sample, or the one of names in many scripts.
int Sample(const Args& args, const std::string& out) {
    if (args.size() != 2) return Usage(std::string(args[0]) + " takes only the output file");
    return Written(out, orrelin::WriteFileAtomically(
                            out, args[0] == "sample" ? orrelin::ipdgen::BuildSample()
                                                     : orrelin::ipdgen::BuildScriptsSample()));
}

// large and mail: --records N [--seed S].
int Generated(const Args& args, const std::string& out) {
    std::optional<std::uint64_t> records;
    std::uint64_t seed = 1;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return Usage(std::string(args[i]) + " needs a value");
        auto value = ParseCount(args[i + 1]);
        if (!value) return Usage(std::string(args[i]) + " needs a whole number");
        if (args[i] == "--records") {
            records = value;
        } else if (args[i] == "--seed") {
            seed = *value;
        } else {
            return Usage("unknown option " + std::string(args[i]));
        }
    }
    if (!records) return Usage(std::string(args[0]) + " needs --records N");
    return Written(out, args[0] == "large" ? orrelin::ipdgen::WriteLargeBackup(out, *records, seed)
                                           : orrelin::ipdgen::WriteMailBackup(out, *records, seed));
}

int Bbb(const Args& args, const std::string& in) {
    if (args.size() < 3) return Usage("bbb needs an input and an output file");
    orrelin::ipdgen::BbbOptions options;
    for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--store") {
            options.deflate = false;
            continue;
        }
        if (i + 1 >= args.size()) return Usage(std::string(args[i]) + " needs a value");
        if (args[i] == "--layout") {
            options.layout = std::string(args[++i]);
        } else if (args[i] == "--kind") {
            options.kind = std::string(args[++i]);
        } else {
            return Usage("unknown option " + std::string(args[i]));
        }
    }
    const std::string target(args[2]);
    return Written(target, orrelin::ipdgen::WriteBbb(in, target, options));
}

int Bomb(const Args& args, const std::string& out) {
    constexpr std::uint64_t kZeros = 6442451001;
    std::optional<std::uint64_t> declared = kZeros;
    if (args.size() == 4 && args[2] == "--declare") {
        declared = ParseCount(args[3]);
    } else if (args.size() != 2) {
        return Usage("bomb takes the output file and --declare N");
    }
    if (!declared) return Usage("--declare needs a whole number");
    return Written(out,
                   orrelin::WriteFileAtomically(
                       out, orrelin::ZipOfDeflatedZeros("Databases/101.dat", kZeros, *declared)));
}

}  // namespace

int main(int argc, char** argv) {
    const Args args(argv + 1, argv + argc);
    if (args.size() < 2) return Usage("a command and an output file are needed");
    const std::string out(args[1]);
    if (args[0] == "sample" || args[0] == "scripts") return Sample(args, out);
    if (args[0] == "large" || args[0] == "mail") return Generated(args, out);
    if (args[0] == "bbb") return Bbb(args, out);
    if (args[0] == "bomb") return Bomb(args, out);
    return Usage("unknown command " + std::string(args[0]));
}
