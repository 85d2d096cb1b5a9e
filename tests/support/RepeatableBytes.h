#pragma once
// Bytes of every value, the same for the same size and seed, different for
// different seeds: file contents that a wrong offset or a lost block changes.
#include <cstddef>
#include <cstdint>
#include <string>

std::string RepeatableBytes(size_t size, uint32_t seed);
