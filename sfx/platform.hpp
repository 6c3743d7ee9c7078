#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The few operating-system services the launcher and the packer need.
namespace sfx {

#ifdef _WIN32
inline constexpr std::string_view executableSuffix = ".exe";
#else
inline constexpr std::string_view executableSuffix = "";
#endif

// The full path of the running program file; empty when it cannot be had.
std::optional<std::filesystem::path> ownProgramPath();

// Starts `program` with the script path as its one argument (none without a script), in our
// own environment and current directory, and waits for it to end. Gives its exit code, or
// nothing when it could not be started.
std::optional<int> runAndWait(const std::filesystem::path& program,
                              const std::optional<std::filesystem::path>& script);

// Lets the file be started as a program; failures are left for the start to report.
void markExecutable(const std::filesystem::path& file);

} // namespace sfx
