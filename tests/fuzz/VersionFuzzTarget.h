#pragma once
// One fuzz case for the version-resource readers: the input is taken as an
// executable image (PE or NE) and, whole, as a version tree in both
// layouts. Every path a query can take is walked. A broken invariant
// aborts; memory faults are the sanitizers' to find.
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
