#pragma once

#include "ipd/ipd_builder.h"

namespace orrelin::ipdgen {

// An address book of people whose names, companies, cities and notes are written in Arabic,
// Greek, Chinese, Japanese and Korean (16-bit fields only, as a handheld set to those languages
// stores them), with a note long enough to be folded in the middle of its characters and a
// character outside the 16-bit plane. The same bytes on every run.
ByteVector BuildScriptsSample();

}  // namespace orrelin::ipdgen
