#pragma once
#include <string>

namespace quiltara {

/// The few camera settings the document keeps after opening a photograph, for the
/// camera-information panel. Numbers stay at their defaults when the photograph
/// does not say (or says with a zero denominator).
struct CCameraSummary {
    std::string make;
    std::string model;
    std::string dateTime;
    double exposureBias = 0;
    double exposureTime = 0;
    double fNumber = 0;
    std::string exposureProgram;
    std::string meteringMode;
    int lightSource = -1;
    int flash = -1;
    double focalLength = 0;
    int isoSpeed = 0;
};

} // namespace quiltara
