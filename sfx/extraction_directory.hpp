#pragma once

#include <filesystem>

namespace sfx {

// A fresh directory "krin_sfx_<nanoseconds since 1970>" in the system temp directory, for one
// run of a packed game. It is removed, with everything the game left in it, when this object
// goes away.
class ExtractionDirectory {
  public:
    ExtractionDirectory();
    ~ExtractionDirectory();
    ExtractionDirectory(const ExtractionDirectory&) = delete;
    ExtractionDirectory& operator=(const ExtractionDirectory&) = delete;

    bool created() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

} // namespace sfx
