#pragma once
// Asks one address whether a box is there: connects within the time-out
// and, when asked to log in, sends one login with the password given, takes
// the list and logs out. Nothing follows a request that failed, and no
// login is tried twice (the Login button's retry is not for a search).
#include <cstdint>

#include "discovery/FindResult.h"
#include "discovery/FindSettings.h"

class AddressProbe {
public:
    explicit AddressProbe(const FindSettings& settings) : settings_(settings) {}
    FindResult Probe(uint32_t address) const;

private:
    const FindSettings& settings_;
};
