#pragma once

#include "ipd/ipd_builder.h"

namespace orrelin::ipdgen {

// The bundled sample backup: every database the program reads, in both forms where there are
// two, with invented people and numbers, one database it does not read and a filler block.
// The same bytes on every run.
ByteVector BuildSample();

}  // namespace orrelin::ipdgen
