#include "entry_name.hpp"
#include "format.hpp"
#include "packing.hpp"

#include <algorithm>
#include <map>

namespace fs = std::filesystem;

namespace sfx {

namespace {

fs::path absoluteNormal(const fs::path& path) {
    return fs::absolute(path).lexically_normal();
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::string asText(const std::u8string& text) {
    return std::string(text.begin(), text.end());
}

class EntryList {
  public:
    EntryList(const PackRequest& request)
        : script_(request.script), scriptFolder_(absoluteNormal(request.script).parent_path()),
          output_(absoluteNormal(request.output)) {}

    void add(const std::string& name, const fs::path& source) {
        NameProblem problem = checkEntryName(name);
        if (problem != NameProblem::none) {
            throw PackError("cannot pack " + quoted(source) + ": its name in the game, '" + name +
                            "', is " + std::string(describe(problem)));
        }
        auto existing = sourceByName_.find(name);
        if (existing != sourceByName_.end()) {
            if (fs::equivalent(existing->second, source)) return;
            throw PackError("both " + quoted(existing->second) + " and " + quoted(source) +
                            " would be packed as '" + name + "'");
        }
        sourceByName_.emplace(name, source);
        entries_.push_back({name, source});
    }

    void addBesideScript(const fs::path& file) {
        fs::path absolute = absoluteNormal(file);
        if (absolute == output_) return; // an earlier build of this game
        fs::path relative = absolute.lexically_relative(scriptFolder_);
        if (relative.empty() || *relative.begin() == "..") {
            throw PackError(quoted(file) + " is outside the script's folder " +
                            quoted(scriptFolder_) +
                            "; packed files keep their paths relative to the script");
        }
        bool topLevel = !relative.has_parent_path();
        if (topLevel && relative == fs::path(interpreterEntryName)) {
            throw PackError(quoted(file) + " would take the place of the interpreter, " +
                            std::string(interpreterEntryName));
        }
        if (topLevel && relative.extension() == fs::path(scriptExtension) &&
            !fs::equivalent(file, script_)) {
            throw PackError(quoted(file) + " is a second script at the top level, and the " +
                            "launcher would run whichever it finds first; move it to a subfolder");
        }
        add(asText(relative.generic_u8string()), file);
    }

    void addFolder(const fs::path& folder) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files)
            addBesideScript(file);
    }

    std::vector<PackEntry> take() { return std::move(entries_); }

  private:
    fs::path script_;
    fs::path scriptFolder_;
    fs::path output_;
    std::map<std::string, fs::path> sourceByName_;
    std::vector<PackEntry> entries_;
};

void requireFile(const fs::path& file, const std::string& what, const std::string& hint = "") {
    if (!fs::is_regular_file(file)) throw PackError(what + " not found: " + quoted(file) + hint);
}

} // namespace

std::vector<PackEntry> collectEntries(const PackRequest& request) {
    requireFile(request.interpreter, "interpreter", " (choose one with --interpreter)");
    requireFile(request.script, "script");
    if (request.script.extension() != fs::path(scriptExtension)) {
        throw PackError("the script " + quoted(request.script) + " must end in " +
                        std::string(scriptExtension) + " for the launcher to find it");
    }

    EntryList entries(request);
    entries.add(std::string(interpreterEntryName), request.interpreter);
    entries.add(asText(request.script.filename().u8string()), request.script);
    // The interpreter runs the prelude beside the script whenever it exists.
    fs::path prelude = fs::path(request.script).replace_extension(".kkit");
    if (fs::is_regular_file(prelude)) entries.add(asText(prelude.filename().u8string()), prelude);
    for (const auto& extra : request.extras) {
        if (fs::is_directory(extra)) {
            entries.addFolder(extra);
        } else if (fs::is_regular_file(extra)) {
            entries.addBesideScript(extra);
        } else {
            throw PackError("no such file or folder: " + quoted(extra));
        }
    }
    return entries.take();
}

} // namespace sfx
