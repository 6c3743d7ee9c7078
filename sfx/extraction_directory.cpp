#include "extraction_directory.hpp"

#include <chrono>
#include <string>

namespace fs = std::filesystem;

namespace sfx {

namespace {

std::string nameForNow() {
    auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
    return "krin_sfx_" + std::to_string(nanoseconds);
}

} // namespace

ExtractionDirectory::ExtractionDirectory() {
    std::error_code error;
    fs::path temp = fs::temp_directory_path(error);
    if (error) return;
    // The name alone does not make the directory new: a coarse clock, a second launcher or
    // someone else may have the same one. Take a later time until we make our own.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = temp / nameForNow();
        if (fs::create_directories(candidate, error)) {
            path_ = candidate;
            return;
        }
        if (error) return;
    }
}

ExtractionDirectory::~ExtractionDirectory() {
    if (!created()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace sfx
