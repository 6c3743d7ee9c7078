#pragma once
#include "lang/value.h"

#include <string>

// The part of `path` from its last point on, lower-cased; empty without one.
std::string getFileExtension(const std::string& path);

// Where a path a script names lies: relative paths follow the running
// script's directory, with one leading ./ ../ .../ prefix worked out here.
std::string resolvePath(const std::string& path);

// import(path): a module's top-level names, or the table of a .kcat file.
Value import(Args args);
// load(path): a .kcat table, a media value, or null after running a script.
Value load(Args args);
// save(table, path): writes the table as a .kcat file.
Value save(Args args);
